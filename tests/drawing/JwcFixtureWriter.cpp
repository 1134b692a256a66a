#include "JwcFixtureWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "util/Func_2.h"

namespace tessa::fixture {

namespace {

void PutU8(std::vector<uint8_t>& b, uint8_t v) { b.push_back(v); }
void PutU16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutF32(std::vector<uint8_t>& b, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  PutU32(b, u);
}
void PutBytes(std::vector<uint8_t>& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// A fixed-size area: the text, cut or padded with zeros.
void PutPadded(std::vector<uint8_t>& b, const std::string& s, size_t n) {
  for (size_t i = 0; i < n; ++i) b.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
}

void PutIdentBlock(std::vector<uint8_t>& b, const JwFixtureBase& f) {
  std::vector<uint8_t> blk;
  PutPadded(blk, f.ident, 40);
  PutPadded(blk, f.comment1, 32);
  PutPadded(blk, f.comment2, 32);
  PutPadded(blk, "", 96);
  b.insert(b.end(), blk.begin(), blk.end());
}

std::string Join(std::vector<std::string> def, const std::map<int, std::string>& over) {
  for (const auto& [i, v] : over)
    if (i >= 0 && static_cast<size_t>(i) < def.size()) def[static_cast<size_t>(i)] = v;
  return Fields(def);
}

void PutLine(std::vector<uint8_t>& b, const JwcLineRec& e) {
  PutF32(b, e.x1); PutF32(b, e.y1); PutF32(b, e.x2); PutF32(b, e.y2);
  for (uint8_t v : {e.typ, e.col, e.lay, e.flg1, e.flg2, e.flg3}) PutU8(b, v);
}

void PutArc(std::vector<uint8_t>& b, const JwcArcRec& e) {
  PutF32(b, e.x); PutF32(b, e.y); PutF32(b, e.r);
  PutU16(b, e.h);
  PutU32(b, static_cast<uint32_t>(e.st));
  PutU32(b, static_cast<uint32_t>(e.et));
  PutU32(b, static_cast<uint32_t>(e.tt));
  for (uint8_t v : {e.typ, e.col, e.lay, e.flg1, e.flg2, e.flg3}) PutU8(b, v);
}

void PutPoint(std::vector<uint8_t>& b, const JwcPointRec& e) {
  PutF32(b, e.x); PutF32(b, e.y);
  for (uint8_t v : {e.lay, e.col, e.flg1, e.flg2}) PutU8(b, v);
}

void PutTextCorners(std::vector<uint8_t>& b, const JwcTextRec& e) {
  PutF32(b, e.x1); PutF32(b, e.y1); PutF32(b, e.x2); PutF32(b, e.y2);
}

void PutTextTail(std::vector<uint8_t>& b, const JwcTextRec& e) {
  for (uint8_t v : {e.no, e.lay, e.flg1, e.flg2}) PutU8(b, v);
}

std::string Hex4(uint32_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
  return buf;
}

std::string Address(uint32_t seg, uint32_t ofs) { return Hex4(seg) + ":" + Hex4(ofs); }

}  // namespace

std::string Sjis(const std::u16string& s) { return StrToCp932(s); }

std::string Fields(const std::vector<std::string>& f) {
  std::string s;
  for (size_t i = 0; i < f.size(); ++i) s += (i ? "," : "") + f[i];
  return s;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

namespace {

// One folder per test process, removed when the process ends.
struct TFixtureDir {
  std::filesystem::path dir;
  TFixtureDir() {
    dir = std::filesystem::temp_directory_path() /
          ("tessa_jwc_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  ~TFixtureDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

}  // namespace

std::string FixturePath(const std::string& name) {
  static TFixtureDir d;
  return (d.dir / name).string();
}

JwcArcRec JwcArcRec::Deg(float x, float y, float r, double ratio, double st,
                         double et, double tt) {
  JwcArcRec a;
  a.x = x; a.y = y; a.r = r;
  a.h = static_cast<uint16_t>(std::lround(ratio * 10000));
  a.st = static_cast<int32_t>(std::lround(st * 65536));
  a.et = static_cast<int32_t>(std::lround(et * 65536));
  a.tt = static_cast<int32_t>(std::lround(tt * 65536));
  return a;
}

std::string JwFixtureBase::StringBlock(std::vector<int64_t>& offsets) const {
  std::string blk = strPrefix;
  offsets.clear();
  for (const auto& t : texts) {
    offsets.push_back(static_cast<int64_t>(blk.size()));
    if (t.address) continue;
    blk += t.bytes;
    blk.push_back('\0');
  }
  return blk;
}

// ---- JWC --------------------------------------------------------------------

JwcFixture::JwcFixture() {
  ident = "jw_cad(c)data.......";
  SetFloatScales(true);
  for (size_t k = 0; k <= 10; ++k) {
    mjPen[k] = static_cast<uint16_t>(k == 0 ? 1 : (k + 1) / 2);
    mjWidth[k] = mjHeight[k] = static_cast<uint16_t>(k == 0 ? 20 : 10 * k);
    mjDist[k] = static_cast<uint16_t>(k < 2 ? 0 : 5);
  }
  groupScale.fill(1.0f);
  groupSrch.fill(1);
  groupDisp.fill(1);
  laySrch.fill(1);
  layDisp.fill(1);
}

void JwcFixture::SetFloatScales(bool f) {
  if (ident.size() < 23) ident.resize(23, ' ');
  ident[22] = f ? 'f' : ' ';
}

std::vector<uint8_t> JwcFixture::Build() const {
  std::vector<int64_t> offs;
  const std::string strs = StringBlock(offs);
  const uint32_t base = strSegment * 16;
  const uint32_t end = base + static_cast<uint32_t>(strs.size());

  std::vector<uint8_t> b;
  PutIdentBlock(b, *this);
  auto n = [](size_t v) { return std::to_string(v); };
  std::vector<std::string> f2 = {
      n(lines.size()), n(arcs.size()), n(texts.size()), n(points.size()),
      std::to_string(vtenCount), "1", "1", "1", "1", "1", "0",
      std::to_string(psize), "2", "1", "0", "0", "5", "10", "0",
      "0", "0", "0", "0", "0", "0", "5", "5", "0", "0", "0",
      std::to_string(drawWidth), "0"};
  std::vector<std::string> f3 = {"0", "0", "3", "15", "0", "0", "0", "0", "0", "1",
                                 "0", "0", "0", "0", "0", "0", "0", "0", "0", "100",
                                 "100", "100", "100", "100", "100", "0", "0", "1"};
  std::vector<std::string> f4 = {Address(strSegment, 0),
                                 Address(strSegment + (end - base) / 16, (end - base) % 16)};
  for (int i = 2; i < 22; ++i) f4.push_back("0");
  PutPadded(b, block2Text ? *block2Text : Join(f2, b2), 200);
  PutPadded(b, block3Text ? *block3Text : Join(f3, b3), 200);
  PutPadded(b, block4Text ? *block4Text : Join(f4, b4), 200);

  for (float v : vx) PutF32(b, v);
  for (float v : vy) PutF32(b, v);
  for (uint8_t v : vlay) PutU8(b, v);
  for (uint16_t v : mjPen) PutU16(b, v);
  for (uint16_t v : mjWidth) PutU16(b, v);
  for (uint16_t v : mjHeight) PutU16(b, v);
  for (uint16_t v : mjDist) PutU16(b, v);
  const bool floats = ident.size() > 22 && ident[22] == 'f';
  for (float v : groupScale) {
    if (floats) PutF32(b, v);
    else PutU16(b, static_cast<uint16_t>(v));
  }
  for (uint8_t v : groupSrch) PutU8(b, v);
  for (uint8_t v : laySrch) PutU8(b, v);
  for (uint8_t v : groupDisp) PutU8(b, v);
  for (uint8_t v : layDisp) PutU8(b, v);
  for (uint8_t v : groupWlay) PutU8(b, v);

  for (const auto& e : lines) PutLine(b, e);
  for (const auto& e : arcs) PutArc(b, e);
  for (size_t i = 0; i < texts.size(); ++i) {
    const auto& e = texts[i];
    int64_t p = e.address ? *e.address : base + offs[i];
    PutTextCorners(b, e);
    PutU16(b, static_cast<uint16_t>(p % 16));
    PutU16(b, static_cast<uint16_t>(p / 16));
    PutTextTail(b, e);
  }
  PutBytes(b, strs);
  for (const auto& e : points) PutPoint(b, e);
  for (const auto& s : layName) PutPadded(b, s, 8);
  for (const auto& s : groupName) PutPadded(b, s, 16);
  return b;
}

// ---- JWK --------------------------------------------------------------------

JwkFixture::JwkFixture() { ident = "jw_cad(c)sym........"; }

std::vector<uint8_t> JwkFixture::Build() const {
  std::vector<int64_t> offs;
  const std::string strs = StringBlock(offs);
  std::vector<uint8_t> b;
  PutIdentBlock(b, *this);
  auto n = [](size_t v) { return std::to_string(v); };
  std::vector<std::string> f2 = {n(lines.size()), n(arcs.size()), n(points.size()),
                                 n(texts.size()), "0", "0", "1", n(strs.size()), scale};
  PutPadded(b, block2Text ? *block2Text : Join(f2, b2), 200);
  for (const auto& e : lines) PutLine(b, e);
  for (const auto& e : arcs) PutArc(b, e);
  for (const auto& e : points) PutPoint(b, e);
  for (size_t i = 0; i < texts.size(); ++i) {
    const auto& e = texts[i];
    int64_t p = e.address ? *e.address : offs[i];
    PutTextCorners(b, e);
    PutU16(b, static_cast<uint16_t>(p));
    PutU16(b, 0);
    PutTextTail(b, e);
  }
  PutBytes(b, strs);
  return b;
}

}  // namespace tessa::fixture
