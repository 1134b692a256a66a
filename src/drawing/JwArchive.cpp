#include "drawing/JwArchive.h"

#include <algorithm>
#include <cstring>

#include "util/Func_2.h"

namespace tessa {

uint32_t TJwArchive::Count() {
  uint16_t w = in_.U16();
  if (w != 0xFFFF) return w;
  return in_.U32();
}

uint32_t TJwArchive::Length(bool allowUnicodeMark, bool& unicode) {
  uint8_t b = in_.U8();
  if (b != 0xFF) return b;
  uint16_t w = in_.U16();
  if (w == 0xFFFE && allowUnicodeMark) {
    unicode = true;
    return Length(false, unicode);
  }
  if (w != 0xFFFF) return w;
  return in_.U32();
}

std::u16string TJwArchive::Str() {
  bool unicode = false;
  uint64_t len = Length(true, unicode);
  if (unicode) ++unicode_;
  uint64_t bytes = unicode ? len * 2 : len;
  if (bytes == 0) return {};
  // A length that runs past the end takes what is left; nothing left at all
  // is a failed read.
  in_.Need(1);
  size_t take = static_cast<size_t>(std::min<uint64_t>(bytes, in_.Remaining()));
  const uint8_t* p = in_.Data() + in_.Pos();
  in_.Skip(take);
  if (!unicode) return BytesToStr(p, take);
  std::u16string s;
  s.reserve(take / 2);
  for (size_t i = 0; i + 1 < take; i += 2) {
    char16_t c = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

std::u16string TJwArchive::StrClean() { return DelCtrl(Str()); }

TJwArchive::TRecordBytes TJwArchive::Record(size_t n, bool shortAttr) {
  in_.Need(1);
  TRecordBytes r;
  if (n > TRecordBytes::kMax || (shortAttr && n < 9)) throw TReadError("File I/O Error");
  r.n = n;
  if (!shortAttr) {
    in_.PaddedInto(r.b, n);
    return r;
  }
  // The first seven bytes, two zero bytes for the pen width, the rest.
  if (in_.PaddedInto(r.b, 7) == 7) in_.PaddedInto(r.b + 9, n - 9);
  return r;
}

TJwArchive::TTag TJwArchive::Tag() {
  TTag t;
  uint16_t w = in_.U16();
  if (w == 0xFFFF) {
    in_.U16();  // schema number
    uint16_t len = in_.U16();
    t.name = in_.Bytes(len);
    t.isNew = true;
    t.index = next_++;
  } else if (w == 0x7FFF) {
    t.index = in_.U32() & 0x7FFFFFFFu;
  } else if (w & 0x8000) {
    t.index = static_cast<uint32_t>(w - 0x8000u);
  }
  return t;
}

int TJwArchive::KindOf(uint32_t index) const {
  auto it = kinds_.find(index);
  return it == kinds_.end() ? -1 : it->second;
}

}  // namespace tessa
