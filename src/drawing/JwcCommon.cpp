#include "drawing/JwcCommon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "util/Func_2.h"
#include "util/Math.h"
#include "util/UnitVal.h"

namespace tessa {

bool JwcReadMem(const uint8_t* data, size_t size, std::vector<std::u16string>& para,
                const std::function<bool(TByteReader&)>& header,
                const std::function<void(TByteReader&)>& body, TReadReason& why) {
  why = {};
  TByteReader st(data, size);
  try {
    const bool ok = header(st);
    para.clear();
    if (!ok) {
      why = {"bad-record", "the header is not one this converter reads", 0};
      return false;
    }
  } catch (const std::exception& e) {
    para.clear();
    why = ReasonOf(e, "the header");
    return false;
  }
  try {
    body(st);
  } catch (const std::exception& e) {
    why = ReasonOf(e, "the entities");
    return false;
  }
  return true;
}

bool JwcMemStartsWith(const uint8_t* data, size_t size, std::u16string_view ident,
                      TReadReason* why) {
  if (data && BytesToStr(data, std::min<size_t>(size, 20)) == ident) return true;
  if (why)
    *why = {"not-a-drawing", "the file does not start with \"" + StrToUtf8(ident) + "\"", 0};
  return false;
}

void JwcSplitPara(std::u16string_view text, int count,
                  std::vector<std::u16string>& para) {
  para.assign(static_cast<size_t>(count > 0 ? count : 0), u"0");
  for (int i = 0; i < count; ++i) {
    size_t c = text.find(u',');
    if (c == std::u16string_view::npos) {
      para[static_cast<size_t>(i)] = std::u16string(text);
      return;
    }
    para[static_cast<size_t>(i)] = std::u16string(text.substr(0, c));
    text.remove_prefix(c + 1);
    if (text.empty()) return;
  }
}

std::vector<uint8_t> JwcReadRecord(TByteReader& st, size_t n) {
  st.Need(1);
  return st.Padded(n);
}

void JwcReadIdentBlock(TByteReader& st, std::u16string& jwID,
                       std::u16string& comment1, std::u16string& comment2) {
  std::vector<uint8_t> b = JwcReadRecord(st, 200);
  jwID = BytesToStr(b.data(), 40);
  comment1 = BytesToStr(b.data() + 40, 32);
  comment2 = BytesToStr(b.data() + 72, 32);
}

std::u16string JwcReadBlockText(TByteReader& st) {
  std::vector<uint8_t> b = JwcReadRecord(st, 200);
  return BytesToStr(b.data(), b.size());
}

int32_t JwcHexAddress(std::u16string_view field) {
  auto group = [&](int start) {
    return TextToInt(u"$" + MidStr(field, start, 4));
  };
  // Four hexadecimal digits each: the sum stays far inside 32 bits.
  return group(0) * 16 + group(5);
}

std::u16string JwcCleanText(const uint8_t* p, size_t n) {
  return DelCtrl(BytesToStr(p, n));
}

namespace {

// Reads a padded record and hands a reader over it to fill.
template <class F>
auto ParseRecord(TByteReader& st, size_t n, F fill) {
  std::vector<uint8_t> b = JwcReadRecord(st, n);
  TByteReader r(b);
  return fill(r);
}

// Line type, colour, layer and three flag bytes, the tail of line and arc
// records.
template <class E>
void ReadLineAttrs(TByteReader& r, E& e) {
  e.typ = r.U8(); e.col = r.U8(); e.lay = r.U8();
  e.flg1 = r.U8(); e.flg2 = r.U8(); e.flg3 = r.U8();
}

float FixedAngle(int32_t v) {
  float f = static_cast<float>(v);
  return static_cast<float>(static_cast<long double>(f) / 65536);
}

}  // namespace

TEntJwcLine JwcReadLine(TByteReader& st, float unit) {
  return ParseRecord(st, 22, [unit](TByteReader& r) {
    TEntJwcLine e;
    e.x1 = JwcScaled(r.F32(), unit);
    e.y1 = JwcScaled(r.F32(), unit);
    e.x2 = JwcScaled(r.F32(), unit);
    e.y2 = JwcScaled(r.F32(), unit);
    ReadLineAttrs(r, e);
    return e;
  });
}

TEntJwcArc2 JwcReadArc(TByteReader& st, float unit) {
  return ParseRecord(st, 32, [unit](TByteReader& r) {
    TEntJwcArc2 e;
    e.x = JwcScaled(r.F32(), unit);
    e.y = JwcScaled(r.F32(), unit);
    e.r = JwcScaled(r.F32(), unit);
    e.h = static_cast<float>(static_cast<long double>(r.U16()) / 10000);
    e.st = FixedAngle(r.I32());
    e.et = FixedAngle(r.I32());
    e.tt = FixedAngle(r.I32());
    ReadLineAttrs(r, e);
    return e;
  });
}

TEntJwcTen JwcReadTen(TByteReader& st, float unit) {
  return ParseRecord(st, 12, [unit](TByteReader& r) {
    TEntJwcTen e;
    e.x = JwcScaled(r.F32(), unit);
    e.y = JwcScaled(r.F32(), unit);
    e.lay = r.U8(); e.col = r.U8(); e.flg1 = r.U8(); e.flg2 = r.U8();
    return e;
  });
}

TEntJwcMoji2 JwcReadMoji(TByteReader& st, float unit, bool segmented) {
  return ParseRecord(st, 24, [unit, segmented](TByteReader& r) {
    TEntJwcMoji2 e;
    e.x1 = JwcScaled(r.F32(), unit);
    e.y1 = JwcScaled(r.F32(), unit);
    e.x2 = JwcScaled(r.F32(), unit);
    e.y2 = JwcScaled(r.F32(), unit);
    int32_t ofs = r.U16();
    int32_t seg = r.U16();
    e.p = segmented ? seg * 16 + ofs : ofs;
    e.no = r.U8(); e.lay = r.U8(); e.flg1 = r.U8(); e.flg2 = r.U8();
    return e;
  });
}

void JwcCheckCount(const TByteReader& st, int64_t count, size_t recSize) {
  // Every record but a last, short one takes recSize bytes, and a record
  // with no byte left fails: more than this many can never be read.
  uint64_t room = (st.Remaining() + recSize - 1) / recSize;
  if (count >= 0 && static_cast<uint64_t>(count) <= room) return;
  throw TReadError("bad-count",
                   "the header announces " + std::to_string(count) + " records of " +
                       std::to_string(recSize) + " bytes from byte " +
                       std::to_string(st.Pos()) + ", but the file has room for " +
                       std::to_string(room),
                   static_cast<int64_t>(st.Pos()));
}

void JwcReadStrings(TByteReader& st, int64_t n, int64_t base,
                    std::vector<TEntJwcMoji2>& texts, int32_t count) {
  if (n <= 0) return;
  st.Need(1);
  // Bytes past the end of the file read as zero: only what the file holds
  // is kept, a text addressed beyond it is empty.
  size_t have = static_cast<uint64_t>(n) < st.Remaining() ? static_cast<size_t>(n)
                                                           : st.Remaining();
  std::vector<uint8_t> buf = st.Padded(have);
  if (static_cast<uint64_t>(n) > have) st.Seek(st.Size());
  buf.push_back(0);
  size_t lim = texts.size() < static_cast<size_t>(count > 0 ? count : 0)
                   ? texts.size() : static_cast<size_t>(count);
  for (size_t i = 0; i < lim; ++i) {
    int64_t at = static_cast<int64_t>(texts[i].p) - base;
    if (at < 0 || at >= static_cast<int64_t>(have)) continue;
    const uint8_t* p = buf.data() + at;
    size_t len = 0;
    while (p[len] != 0) ++len;  // buf ends with a 0
    texts[i].s = JwcCleanText(p, len);
  }
}

namespace {

double Wrap(double v) { return v >= 0 ? v : v + 360; }

}  // namespace

void JwcArcMinMax(TJwExtents& ext, const TEntJwcArc2& a, double s) {
  const double pi = std::numbers::pi;
  const double x = a.x, y = a.y, r = a.r, h = a.h;
  const double tilt = static_cast<double>(a.tt) * pi / 180;
  auto add = [&](double th) {
    double px = r * math::Cos(th), py = r * h * math::Sin(th);
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY,
              x + KaitenX(px, py, 0, 0, tilt), y + KaitenY(px, py, 0, 0, tilt), s);
  };
  // Into [0, 360) without snapping (tolerance 0).
  double e = NormDegTol(a.st, 0);
  double g = NormDegTol(static_cast<double>(a.et) - e, 0);
  if (std::fabs(g) < 1e-14 || std::fabs(g - 360) < 1e-14) {
    add(0);
    add(pi / 2);
    add(pi);
    add(3 * pi / 2);
    return;
  }
  add(static_cast<double>(a.st) * pi / 180);
  add(static_cast<double>(a.et) * pi / 180);
  if (g >= 360 - e) add(0);
  if (g >= Wrap(90 - e)) add(pi / 2);
  if (g >= Wrap(180 - e)) add(pi);
  if (g >= Wrap(270 - e)) add(3 * pi / 2);
}

void JwcEntitiesMinMax(TJwExtents& ext, const TJwcEntities& d, double s) {
  for (size_t i = 0, n = JwcUsable(d.EntLine, d.lineN); i < n; ++i) {
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY, d.EntLine[i].x1, d.EntLine[i].y1, s);
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY, d.EntLine[i].x2, d.EntLine[i].y2, s);
  }
  for (size_t i = 0, n = JwcUsable(d.EntArc, d.arcN); i < n; ++i) JwcArcMinMax(ext, d.EntArc[i], s);
  for (size_t i = 0, n = JwcUsable(d.EntMoji, d.mojiN); i < n; ++i) {
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY, d.EntMoji[i].x1, d.EntMoji[i].y1, s);
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY, d.EntMoji[i].x2, d.EntMoji[i].y2, s);
  }
  for (size_t i = 0, n = JwcUsable(d.EntTen, d.tenN); i < n; ++i)
    MinMaxAdd(ext.ExtMinX, ext.ExtMinY, ext.ExtMaxX, ext.ExtMaxY, d.EntTen[i].x, d.EntTen[i].y, s);
}

}  // namespace tessa
