// Generator of large drawings for the benchmark: JWW drawings and JWC
// drawings with a realistic mix of entities, laid out by the same writers
// the tests use.  The sequence is pseudo-random from a fixed seed, so a
// given count always gives the same file.
//
//   gen_drawings jww COUNT OUT.jww
//   gen_drawings jwc COUNT OUT.jwc
//
// COUNT is the number of entities in the drawing's own list (for JWW the
// block definitions come on top: a fixed library of 30 definitions with
// about 300 entities, some of them placing others, three levels deep).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"

namespace {

using namespace tessa;
using namespace tessa::test;

constexpr double kPi = 3.14159265358979323846;

// Small deterministic generator (64-bit LCG, high bits used).
class TRand {
 public:
  explicit TRand(uint64_t seed) : s_(seed) {}
  uint32_t Next() {
    s_ = s_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(s_ >> 33);
  }
  int Int(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  // Uniform in [lo, hi), rounded to 1/1000 like values typed into a CAD.
  double Real(double lo, double hi) {
    double v = lo + (hi - lo) * (Next() / 2147483648.0);
    return std::round(v * 1000.0) / 1000.0;
  }

 private:
  uint64_t s_;
};

const std::array<std::u16string, 16> kTexts = {
    u"平面図", u"居間・食堂", u"寝室", u"浴室", u"玄関ホール",
    u"ＲＣ造３階建", u"給排水衛生設備図", u"北側斜線制限", u"敷地境界線",
    u"道路中心線", u"Ｗ＝１２００", u"防火戸（特定防火設備）", u"ＧＬ＋１５０",
    u"A-A' 断面", u"PS", u"既存樹木（保存）"};

const std::array<std::u16string, 8> kDimTexts = {
    u"3,600", u"910", u"1,820", u"12,740", u"455", u"2,730", u"6,370", u"150"};

const std::array<std::u16string, 10> kLeafNames = {
    u"片開き戸", u"引違い窓", u"便器", u"洗面台", u"浴槽",
    u"流し台", u"柱", u"樹木", u"車", u"方位記号"};

TEntJwwAttr RandAttr(TRand& r, uint16_t group) {
  TEntJwwAttr a = Attr(group, static_cast<uint16_t>(r.Int(16)),
                       static_cast<uint16_t>(1 + r.Int(8)),
                       static_cast<uint8_t>(1 + r.Int(9)));
  a.nPenWidth = static_cast<uint16_t>(r.Int(4));
  return a;
}

// One entity of the drawing's own list.  Paper coordinates on an A1 sheet.
void AddJwwEntity(TJwwData& d, TRand& r, int nDefs) {
  const uint16_t group = static_cast<uint16_t>(r.Int(4));
  TEntJwwAttr a = RandAttr(r, group);
  const double x = r.Real(-400, 400), y = r.Real(-280, 280);
  const int k = r.Int(100);
  if (k < 52) {
    // Mostly axis-parallel walls and grid lines, some slanted.
    const double len = r.Real(1, 120);
    switch (r.Int(4)) {
      case 0: AddLine(d, Line(x, y, x + len, y, a)); break;
      case 1: AddLine(d, Line(x, y, x, y + len, a)); break;
      default: AddLine(d, Line(x, y, x + r.Real(-60, 60), y + r.Real(-60, 60), a)); break;
    }
  } else if (k < 62) {
    const double rad = r.Real(0.5, 40);
    const int kind = r.Int(10);
    if (kind < 4) {
      AddEnko(d, Circle(x, y, rad, a));
    } else if (kind < 9) {
      AddEnko(d, Arc(x, y, rad, r.Real(0, 2 * kPi), r.Real(0.1, 2 * kPi - 0.1), a));
    } else {
      TEntJwwEnko e = Arc(x, y, rad, r.Real(0, 2 * kPi), r.Real(0.1, 2 * kPi - 0.1), a);
      e.dHenpeiRitsu = r.Real(0.2, 0.9);
      e.radKatamukiKaku = r.Real(0, kPi);
      AddEnko(d, e);
    }
  } else if (k < 72) {
    TEntJwwMoji t = Text(x, y, kTexts[static_cast<size_t>(r.Int(16))], r.Real(2, 7), a);
    t.nMojiShu = static_cast<uint32_t>(1 + r.Int(9));
    if (r.Int(5) == 0) t.degKakudo = 90;
    if (r.Int(20) == 0) t.att.sFlg = 0x20;
    AddMoji(d, t);
  } else if (k < 78) {
    const double len = r.Real(5, 150);
    AddSunpo(d, Dimension(x, x + len, y, kDimTexts[static_cast<size_t>(r.Int(8))], a));
  } else if (k < 83) {
    const double w = r.Real(1, 30), h = r.Real(1, 30);
    TEntJwwSolid s = Solid(x, y, x + w, y, x + w, y + h, x, y + h, a);
    if (r.Int(3) == 0) {
      s.att.nPenColor = 10;
      s.Color = r.Next() & 0xFFFFFF;
    }
    AddSolid(d, s);
  } else if (k < 85) {
    AddTen(d, Point(x, y, a));
  } else if (k < 95) {
    const double rot = r.Int(4) == 0 ? r.Real(0, 2 * kPi) : 0;
    const double sc = r.Int(4) == 0 ? r.Real(0.5, 2) : 1;
    AddBlock(d, Insert(static_cast<uint32_t>(r.Int(nDefs)), x, y, rot, sc, sc, a));
  } else {
    AddLine(d, Line(x, y, x + r.Real(-30, 30), y + r.Real(-30, 30), a));
  }
}

// Block library: definitions 0..9 are leaves (lines, arcs, a text), 10..19
// place two to four leaves, 20..29 place composites and leaves.
void AddBlockLibrary(TJwwData& d, TRand& r) {
  for (uint32_t n = 0; n < 30; ++n) {
    std::u16string name = n < 10 ? kLeafNames[n] : (n < 20 ? u"住戸ユニット" : u"住棟");
    name += u"-" + std::u16string(1, static_cast<char16_t>(u'０' + n % 10));
    if (n >= 10) name += std::u16string(1, static_cast<char16_t>(u'Ａ' + n / 10));
    TEntJwwBlockDef& def = AddBlockDef(d, n, name, Attr(0, 0, 1, 1));
    const uint16_t g = 0;
    for (int i = 0, m = 4 + r.Int(8); i < m; ++i)
      AddLine(def, Line(r.Real(-10, 10), r.Real(-10, 10), r.Real(-10, 10), r.Real(-10, 10),
                        RandAttr(r, g)));
    for (int i = 0, m = 1 + r.Int(3); i < m; ++i)
      AddEnko(def, Arc(r.Real(-5, 5), r.Real(-5, 5), r.Real(0.5, 5), r.Real(0, kPi),
                       r.Real(0.5, kPi), RandAttr(r, g)));
    if (n % 3 == 0) AddMoji(def, Text(0, -12, kTexts[n % 16], 2.5, RandAttr(r, g)));
    if (n % 4 == 0) AddSolid(def, Solid(0, 0, 1, 0, 1, 1, 0, 1, RandAttr(r, g)));
    if (n >= 10) {
      const uint32_t lo = n < 20 ? 0 : 10;
      for (int i = 0, m = 2 + r.Int(3); i < m; ++i)
        AddBlock(def, Insert(lo + static_cast<uint32_t>(r.Int(10)), r.Real(-20, 20),
                             r.Real(-20, 20), r.Int(2) ? kPi / 2 : 0, 1, 1, RandAttr(r, g)));
    }
  }
}

bool MakeJww(long count, const std::string& out) {
  TJwwData d = MakeJwwDrawing(700);
  d.Enthd.nZumen = 1;  // A1
  d.Enthd.strMemo = u"ベンチマーク用図面";
  const double scales[4] = {100, 50, 1, 200};
  for (size_t g = 0; g < 16; ++g) d.EntLgrp[g].adScale = scales[g % 4];
  d.EntLgrp[0].aStrGLayName = u"配置図";
  d.EntLgrp[1].aStrGLayName = u"平面詳細";
  for (size_t i = 0; i < 16; ++i) d.EntLay[i].aStrLayName = u"レイヤ" + std::u16string(1, static_cast<char16_t>(u'Ａ' + i));
  TRand r(20240601);
  AddBlockLibrary(d, r);
  const size_t n = static_cast<size_t>(count);
  d.EntNo.reserve(n);
  d.EntLine.reserve(n * 6 / 10);
  for (long i = 0; i < count; ++i) AddJwwEntity(d, r, d.EntBlockDefN);
  return WriteJwwFile(out, d);
}

bool MakeJwc(long count, const std::string& out) {
  using namespace tessa::fixture;
  JwcFixture f;
  f.comment1 = "benchmark";
  TRand r(19870401);
  const std::array<std::string, 8> sjis = {Sjis(u"平面図"), Sjis(u"寝室"), Sjis(u"浴室"),
                                           Sjis(u"玄関"), Sjis(u"ＲＣ造"), Sjis(u"W=1200"),
                                           Sjis(u"敷地境界線"), Sjis(u"北")};
  for (long i = 0; i < count; ++i) {
    const float x = static_cast<float>(r.Real(0, 500)), y = static_cast<float>(r.Real(0, 350));
    const uint8_t lay = static_cast<uint8_t>(r.Int(64)), col = static_cast<uint8_t>(1 + r.Int(8));
    const int k = r.Int(100);
    if (k < 60) {
      JwcLineRec e;
      e.x1 = x; e.y1 = y;
      e.x2 = x + static_cast<float>(r.Real(-50, 50));
      e.y2 = y + static_cast<float>(r.Real(-50, 50));
      e.typ = static_cast<uint8_t>(1 + r.Int(6)); e.col = col; e.lay = lay;
      f.lines.push_back(e);
    } else if (k < 75) {
      const double st = r.Real(0, 360);
      JwcArcRec e = JwcArcRec::Deg(x, y, static_cast<float>(r.Real(0.5, 30)),
                                   r.Int(8) == 0 ? 0.5 : 1.0, st, st + r.Real(10, 350));
      e.col = col; e.lay = lay;
      f.arcs.push_back(e);
    } else if (k < 90) {
      JwcTextRec e;
      e.x1 = x; e.y1 = y; e.x2 = x + 20; e.y2 = y;
      e.bytes = sjis[static_cast<size_t>(r.Int(8))];
      e.no = static_cast<uint8_t>(1 + r.Int(10)); e.lay = lay;
      f.texts.push_back(e);
    } else {
      JwcPointRec e;
      e.x = x; e.y = y; e.lay = lay; e.col = col;
      f.points.push_back(e);
    }
  }
  return WriteFile(out, f.Build());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s jww|jwc COUNT OUT\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  if (count < 0) return 2;
  bool ok = false;
  if (kind == "jww") ok = MakeJww(count, argv[3]);
  else if (kind == "jwc") ok = MakeJwc(count, argv[3]);
  else return 2;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[3]);
  return ok ? 0 : 1;
}
