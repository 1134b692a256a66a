// Code page 932 (Shift_JIS, Windows table) in and out, and UTF-8.
#include "util/Func_2Cp932.h"

#include <iconv.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace tessa {

// ---- Code page 932 and Unicode -------------------------------------------

namespace {

constexpr char16_t kNoChar = 0xFFFF;   // not a valid decoding result
constexpr char16_t kNotYet = 0xFFFE;   // pair not looked up yet
constexpr uint16_t kCodeNotYet = 0xFFFF;  // character not looked up yet

// Code page 932 in both directions: iconv's "CP932" table plus the five
// single bytes Windows maps on top of it.  Only the single bytes are read
// at start; a byte pair or a character is looked up in iconv the first time
// it occurs and kept, so that a run pays for the characters its drawing
// uses and not for the whole table (which took most of a small run).  The
// DXF writer encodes on two threads: a first look-up (and every use of the
// iconv handles) holds `lookUp`; an entry once found is read without it.
struct Cp932Tables {
  std::array<char16_t, 256> single{};     // kNoChar: invalid or lead byte
  std::array<bool, 256> lead{};
  std::vector<std::atomic<char16_t>> pair;  // [lead*256 + trail], kNoChar: none
  std::vector<std::atomic<uint16_t>> encode;  // [code unit] -> code, 0: none
  std::mutex lookUp;
  iconv_t dec = reinterpret_cast<iconv_t>(-1);
  iconv_t enc = reinterpret_cast<iconv_t>(-1);
  bool encOpened = false;

  Cp932Tables() = default;
  Cp932Tables(const Cp932Tables&) = delete;
  Cp932Tables& operator=(const Cp932Tables&) = delete;
  ~Cp932Tables() {
    if (dec != reinterpret_cast<iconv_t>(-1)) iconv_close(dec);
    if (enc != reinterpret_cast<iconv_t>(-1)) iconv_close(enc);
  }
};

void AddWindowsSingles(Cp932Tables& t) {
  t.single[0x80] = 0x0080;
  t.single[0xA0] = 0xF8F0;
  t.single[0xFD] = 0xF8F1;
  t.single[0xFE] = 0xF8F2;
  t.single[0xFF] = 0xF8F3;
}

// Converts one byte sequence with iconv; returns kNoChar unless all of
// it was consumed into exactly one UTF-16 unit.  *incomplete tells a lead
// byte that waits for its trail byte.
char16_t IconvOne(iconv_t cd, const unsigned char* in, size_t n,
                  bool* incomplete) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char inBuf[2];
  std::memcpy(inBuf, in, n);
  char* ip = inBuf;
  size_t il = n;
  char outBuf[8];
  char* op = outBuf;
  size_t ol = sizeof outBuf;
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  if (incomplete) *incomplete = (r == static_cast<size_t>(-1) && errno == EINVAL);
  if (r == static_cast<size_t>(-1) || il != 0 || op - outBuf != 2) return kNoChar;
  unsigned char lo = static_cast<unsigned char>(outBuf[0]);
  unsigned char hi = static_cast<unsigned char>(outBuf[1]);
  return static_cast<char16_t>(lo | (hi << 8));
}

std::unique_ptr<Cp932Tables> BuildDecodeTables() {
  auto t = std::make_unique<Cp932Tables>();
  t->single.fill(kNoChar);
  t->dec = iconv_open("UTF-16LE", "CP932");
  if (t->dec != reinterpret_cast<iconv_t>(-1)) {
    for (int b = 0; b < 256; ++b) {
      unsigned char in = static_cast<unsigned char>(b);
      bool incomplete = false;
      t->single[b] = IconvOne(t->dec, &in, 1, &incomplete);
      t->lead[b] = incomplete;
    }
  } else {
    // Without the table only ASCII can be decoded.
    for (int b = 0; b < 0x80; ++b) t->single[b] = static_cast<char16_t>(b);
  }
  const char16_t unknownPair = t->dec != reinterpret_cast<iconv_t>(-1) ? kNotYet : kNoChar;
  t->pair = std::vector<std::atomic<char16_t>>(256 * 256);
  for (auto& slot : t->pair) slot.store(unknownPair, std::memory_order_relaxed);
  AddWindowsSingles(*t);
  t->encode = std::vector<std::atomic<uint16_t>>(65536);
  for (auto& slot : t->encode) slot.store(kCodeNotYet, std::memory_order_relaxed);
  return t;
}

Cp932Tables& Tables() {
  static std::unique_ptr<Cp932Tables> t = BuildDecodeTables();
  return *t;
}

// PairChar with t.lookUp held.
char16_t PairCharLocked(Cp932Tables& t, unsigned char b, unsigned char c) {
  std::atomic<char16_t>& slot = t.pair[b * 256 + c];
  char16_t v = slot.load(std::memory_order_relaxed);
  if (v == kNotYet) {
    const unsigned char in[2] = {b, c};
    v = t.lead[b] ? IconvOne(t.dec, in, 2, nullptr) : kNoChar;
    slot.store(v, std::memory_order_relaxed);
  }
  return v;
}

// Character of the pair (lead, trail); kNoChar when it has none.
char16_t PairChar(Cp932Tables& t, unsigned char b, unsigned char c) {
  const char16_t v = t.pair[b * 256 + c].load(std::memory_order_relaxed);
  if (v != kNotYet) return v;
  std::lock_guard<std::mutex> lock(t.lookUp);
  return PairCharLocked(t, b, c);
}

// Code of character u, 0 when it has none.  A character counts as
// encodable only when its code decodes back to it, which drops iconv's
// best-fit mappings (U+00A5 -> 0x5C and the like).  With t.lookUp held.
uint16_t LookUpCode(Cp932Tables& t, char16_t u) {
  for (int b : {0x80, 0xA0, 0xFD, 0xFE, 0xFF})
    if (t.single[b] == u) return static_cast<uint16_t>(b);
  if (u == 0 || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  if (!t.encOpened) {
    t.encOpened = true;
    t.enc = iconv_open("CP932", "UTF-16LE");
  }
  if (t.enc == reinterpret_cast<iconv_t>(-1)) return u < 0x80 ? u : 0;
  char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  char* ip = in;
  size_t il = 2;
  char out[8];
  char* op = out;
  size_t ol = sizeof out;
  iconv(t.enc, nullptr, nullptr, nullptr, nullptr);
  size_t r = iconv(t.enc, &ip, &il, &op, &ol);
  if (r == static_cast<size_t>(-1) || il != 0) return 0;
  size_t n = static_cast<size_t>(op - out);
  if (n == 1) {
    unsigned char b = static_cast<unsigned char>(out[0]);
    if (t.single[b] == u) return b;
  } else if (n == 2) {
    unsigned char b = static_cast<unsigned char>(out[0]);
    unsigned char c = static_cast<unsigned char>(out[1]);
    if (t.lead[b] && PairCharLocked(t, b, c) == u) return static_cast<uint16_t>(b << 8 | c);
  }
  return 0;
}

uint16_t CodeOf(Cp932Tables& t, char16_t u) {
  std::atomic<uint16_t>& slot = t.encode[u];
  uint16_t v = slot.load(std::memory_order_relaxed);
  if (v != kCodeNotYet) return v;
  std::lock_guard<std::mutex> lock(t.lookUp);
  v = slot.load(std::memory_order_relaxed);
  if (v == kCodeNotYet) {
    v = LookUpCode(t, u);
    slot.store(v, std::memory_order_relaxed);
  }
  return v;
}

}  // namespace

std::u16string BytesToStr(const uint8_t* p, size_t n) {
  std::u16string out;
  if (p == nullptr || n == 0) return out;
  Cp932Tables& t = Tables();
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    uint8_t b = p[i];
    if (b == 0) break;  // the text ends at its first NUL
    char16_t c = kNoChar;
    size_t used = 1;
    if (t.lead[b]) {
      if (i + 1 < n) {
        c = PairChar(t, b, p[i + 1]);
        if (c != kNoChar) used = 2;
      }
    } else {
      c = t.single[b];
    }
    out.push_back(c == kNoChar ? u'?' : c);
    i += used;
  }
  return out;
}

std::u16string BytesToStr(std::string_view bytes) {
  return BytesToStr(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string StrToCp932(std::u16string_view s) {
  Cp932Tables& t = Tables();
  std::string out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == 0) {
      out.push_back('\0');
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      ++i;  // one character outside the table: one "?"
      out.push_back('?');
      continue;
    }
    uint16_t code = CodeOf(t, c);
    if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

uint16_t Cp932Code(char16_t c) {
  if (c == 0) return 0;
  return CodeOf(Tables(), c);
}

std::string StrToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToStr(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  const size_t n = s.size();
  auto cont = [&](size_t k) {
    return k < n && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
  };
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t used = 1;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
      cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
      used = 2;
    } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
      uint32_t v = ((b & 0x0Fu) << 12) |
                   ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                   (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
      if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
        cp = v;
        used = 3;
      }
    } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      uint32_t v = ((b & 0x07u) << 18) |
                   ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                   ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) |
                   (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
      if (v >= 0x10000 && v <= 0x10FFFF) {
        cp = v;
        used = 4;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += used;
  }
  return out;
}

}  // namespace tessa
