// Generator of large drawings for the benchmark, laid out by the same
// writers the tests use.  The sequence is pseudo-random from a fixed seed,
// so a given count always gives the same file.
//
//   gen_drawings jww COUNT OUT.jww     the mix measured in real drawings
//   gen_drawings lines COUNT OUT.jww   lines only
//   gen_drawings jwc COUNT OUT.jwc
//
// COUNT is the number of entities in the drawing's own list.  For the JWW
// mix the block definitions come on top: as many as there are inserts,
// about 45 entities each, nested up to three levels.
#include <algorithm>
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
  double Real(double lo, double hi) { return std::round(Raw(lo, hi) * 1000.0) / 1000.0; }
  // Uniform in [lo, hi) with every digit a double holds, like values a CAD
  // computes (intersections, offsets, scaled copies).
  double Raw(double lo, double hi) { return lo + (hi - lo) * (Next() / 2147483648.0); }

 private:
  uint64_t s_;
};

// The mix of real drawings, measured with bench/jw_mix over the drawings in
// the shared samples folder (6 JWW drawings, 4081 entities in their own
// lists; 63 JWS symbols, 137 653 entities in block definitions):
//
//   bench/jw_mix $(find /work/shared/samples -iname '*.jw[ws]')
//
// Own list of the JWW drawings, in parts per ten thousand.  They hold no
// dimensions; a temporary point never occurred.
struct TShare {
  int kind;  // jwEnt*, or one of the arc shapes below
  int parts;
};
enum { kCircle = 100, kEllipse = 101 };
constexpr std::array<TShare, 8> kOwnMix = {{{jwEntLine, 8799},
                                            {jwEntEnko, 429},  // arcs
                                            {kCircle, 78},
                                            {kEllipse, 29},
                                            {jwEntTen, 69},
                                            {jwEntMoji, 395},
                                            {jwEntSolid, 194},  // all with their own colour, one for all
                                            {jwEntBlock, 7}}};
// Contents of the block definitions of the JWS symbols (their own inserts
// are the nesting, generated apart).
constexpr std::array<TShare, 5> kDefMix = {{{jwEntLine, 9228},
                                            {jwEntEnko, 236},
                                            {kCircle, 87},
                                            {jwEntTen, 441},
                                            {jwEntMoji, 8}}};
// Text lengths in UTF-16 units (JWW drawings, 161 texts: p50 9, p90 13,
// max 32): share in percent of each range [lo, hi).
struct TLenShare {
  int lo, hi, percent;
};
constexpr std::array<TLenShare, 5> kTextLen = {
    {{2, 4, 24}, {4, 8, 24}, {8, 16, 44}, {16, 32, 7}, {32, 48, 1}}};
// Layer-group scales of the entities' groups (JWW: 2241 on 1/200, 1825
// on 1/100, 15 on 1/50).  A real drawing draws on one group and 1 to 11
// layers; here three groups carry those scales, so that each occurs.
constexpr std::array<std::pair<double, int>, 3> kScaleShare = {{{200, 549}, {100, 447}, {50, 4}}};
constexpr int kLayersUsed = 11;
// Own colours of solids (0x00BBGGRR): the samples' 79 filled solids all
// share one.
constexpr std::array<uint32_t, 3> kFillColours = {0xC0C0C0, 0x80FFFF, 0xFFC080};
// Blocks: a used definition has 1 copy at the median, 3 at p90, 9 at most;
// 46 entities at the median, 169 at p90; nesting reaches depth 3 (JWS).

int Pick(TRand& r, const TShare* table, size_t n) {
  int total = 0;
  for (size_t i = 0; i < n; ++i) total += table[i].parts;
  int k = r.Int(total);
  for (size_t i = 0; i < n; ++i) {
    if (k < table[i].parts) return table[i].kind;
    k -= table[i].parts;
  }
  return table[n - 1].kind;
}

// Characters real texts are made of: kana, kanji, full-width digits and
// ASCII, as in room names, notes and sizes.
const std::u16string kTextChars =
    u"平面図居間食堂寝室浴室玄関ホール給排水衛生設備北側斜線制限敷地境界線道路中心"
    u"防火戸特定既存樹木保存鉄筋コンクリート造階建ＲＣＷＧＬ０１２３４５６７８９"
    u"ABCDEFGHPSW0123456789=+-()・（）";

std::u16string RandText(TRand& r) {
  int k = r.Int(100);
  const TLenShare* b = &kTextLen.back();
  for (const TLenShare& s : kTextLen) {
    if (k < s.percent) {
      b = &s;
      break;
    }
    k -= s.percent;
  }
  const int len = b->lo + r.Int(b->hi - b->lo);
  std::u16string t;
  for (int i = 0; i < len; ++i) t += kTextChars[static_cast<size_t>(r.Int(static_cast<int>(kTextChars.size())))];
  return t;
}

TEntJwwAttr RandAttr(TRand& r, uint16_t group) {
  TEntJwwAttr a = Attr(group, static_cast<uint16_t>(r.Int(kLayersUsed)),
                       static_cast<uint16_t>(1 + r.Int(8)),
                       static_cast<uint8_t>(1 + r.Int(9)));
  a.nPenWidth = static_cast<uint16_t>(r.Int(4));
  return a;
}

uint16_t RandGroup(TRand& r) {
  int k = r.Int(1000);
  for (size_t g = 0; g < kScaleShare.size(); ++g) {
    if (k < kScaleShare[g].second) return static_cast<uint16_t>(g);
    k -= kScaleShare[g].second;
  }
  return 0;
}

// An entity of one kind centred near (x, y), spread over `span`.
template <class D>
void AddKind(D& d, TRand& r, int kind, double x, double y, double span, TEntJwwAttr a) {
  switch (kind) {
    case jwEntLine: {
      // Mostly axis-parallel walls and grid lines, some slanted.
      const double len = r.Real(span / 400, span / 6);
      switch (r.Int(4)) {
        case 0: AddLine(d, Line(x, y, x + len, y, a)); break;
        case 1: AddLine(d, Line(x, y, x, y + len, a)); break;
        default:
          AddLine(d, Line(x, y, x + r.Real(-len, len), y + r.Real(-len, len), a));
          break;
      }
      break;
    }
    case jwEntEnko:
      AddEnko(d, Arc(x, y, r.Real(span / 2000, span / 20), r.Real(0, 2 * kPi),
                     r.Real(0.1, 2 * kPi - 0.1), a));
      break;
    case kCircle: AddEnko(d, Circle(x, y, r.Real(span / 2000, span / 20), a)); break;
    case kEllipse: {
      TEntJwwEnko e = Arc(x, y, r.Real(span / 1000, span / 20), r.Real(0, 2 * kPi),
                          r.Real(0.1, 2 * kPi - 0.1), a);
      if (r.Int(2) == 0) {  // whole ellipses and elliptic arcs alike
        e.radKaishiKaku = 0;
        e.radEnkoKaku = 2 * kPi;
        e.bZenEnFlg = 1;
      }
      e.dHenpeiRitsu = r.Real(0.2, 0.9);
      e.radKatamukiKaku = r.Real(0, kPi);
      AddEnko(d, e);
      break;
    }
    case jwEntTen: AddTen(d, Point(x, y, a)); break;
    case jwEntMoji: {
      TEntJwwMoji t = Text(x, y, RandText(r), r.Real(2, 5), a);
      t.nMojiShu = static_cast<uint32_t>(1 + r.Int(9));
      AddMoji(d, t);
      break;
    }
    case jwEntSolid: {
      const double w = r.Real(1, span / 30), h = r.Real(1, span / 30);
      TEntJwwSolid s = Solid(x, y, x + w, y, x + w, y + h, x, y + h, a);
      // Real drawings use one or a few colours for their fills.
      s.att.nPenColor = 10;
      s.Color = kFillColours[static_cast<size_t>(r.Int(10) < 8 ? 0 : 1 + r.Int(2))];
      AddSolid(d, s);
      break;
    }
  }
}

// Block library of `count` definitions: 70% leaves, 20% placing one to
// three leaves, 10% placing those (nesting depth 3).  Sizes are
// log-uniform in 8..250 entities (median 45, p90 about 175).
void AddBlockLibrary(TJwwData& d, TRand& r, int count) {
  const int leaves = std::max(1, count * 7 / 10);
  const int mids = std::max(count >= 3 ? 1 : 0, count * 2 / 10);
  for (int n = 0; n < count; ++n) {
    std::u16string name = u"部品" + RandText(r).substr(0, 6) + u"-";
    for (char c : std::to_string(n)) name += static_cast<char16_t>(c);
    TEntJwwBlockDef& def = AddBlockDef(d, static_cast<uint32_t>(n), name, Attr(0, 0, 1, 1));
    const int size = static_cast<int>(std::exp(r.Real(std::log(8.0), std::log(250.0))));
    for (int i = 0; i < size; ++i)
      AddKind(def, r, Pick(r, kDefMix.data(), kDefMix.size()), r.Real(-10, 10), r.Real(-10, 10),
              20, RandAttr(r, 0));
    if (n >= leaves) {
      const bool mid = n < leaves + mids;
      const int lo = mid ? 0 : leaves, hi = mid ? leaves : leaves + mids;
      for (int i = 0, m = hi > lo ? 1 + r.Int(3) : 0; i < m; ++i)
        AddBlock(def, Insert(static_cast<uint32_t>(lo + r.Int(hi - lo)), r.Real(-20, 20),
                             r.Real(-20, 20), r.Int(2) ? kPi / 2 : 0, 1, 1, RandAttr(r, 0)));
    }
  }
}

TJwwData MakeSheet() {
  TJwwData d = MakeJwwDrawing(700);
  d.Enthd.nZumen = 1;  // A1
  d.Enthd.strMemo = u"ベンチマーク用図面";
  for (size_t g = 0; g < 16; ++g) d.EntLgrp[g].adScale = g < kScaleShare.size() ? kScaleShare[g].first : 100;
  d.EntLgrp[0].aStrGLayName = u"配置図";
  d.EntLgrp[1].aStrGLayName = u"平面詳細";
  for (size_t i = 0; i < 16; ++i) d.EntLay[i].aStrLayName = u"レイヤ" + std::u16string(1, static_cast<char16_t>(u'Ａ' + i));
  return d;
}

// A drawing with the measured mix.  The definitions come on top of COUNT,
// as many as there are inserts; with the nested copies a used definition
// is then placed 2 times at the median, 5 at p90.
bool MakeJww(long count, const std::string& out) {
  TJwwData d = MakeSheet();
  TRand r(20240601);
  const long inserts = count * kOwnMix.back().parts / 10000;
  AddBlockLibrary(d, r, static_cast<int>(std::max(1L, inserts)));
  const size_t n = static_cast<size_t>(count);
  d.EntNo.reserve(n);
  d.EntLine.reserve(n * 9 / 10);
  for (long i = 0; i < count; ++i) {
    const TEntJwwAttr a = RandAttr(r, RandGroup(r));
    const double x = r.Real(-400, 400), y = r.Real(-280, 280);
    const int kind = Pick(r, kOwnMix.data(), kOwnMix.size());
    if (kind == jwEntBlock) {
      // Skewed towards the first definitions of each level, so that some
      // are placed often and most once or twice.
      const int defs = d.EntBlockDefN;
      const int no = r.Int(3) == 0 ? r.Int(std::max(1, defs / 4)) : r.Int(defs);
      const double rot = r.Int(4) == 0 ? r.Real(0, 2 * kPi) : 0;
      const double sc = r.Int(4) == 0 ? r.Real(0.5, 2) : 1;
      AddBlock(d, Insert(static_cast<uint32_t>(no), x, y, rot, sc, sc, a));
    } else {
      AddKind(d, r, kind, x, y, 800, a);
    }
  }
  return WriteJwwFile(out, d);
}

// Lines only, on one group and layer: the simplest large drawing.
bool MakeJwwLines(long count, const std::string& out) {
  TJwwData d = MakeSheet();
  TRand r(19991231);
  d.EntNo.reserve(static_cast<size_t>(count));
  d.EntLine.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    const double x = r.Real(-400, 400), y = r.Real(-280, 280);
    AddKind(d, r, jwEntLine, x, y, 800, Attr(0, 0, 1, 1));
  }
  return WriteJwwFile(out, d);
}

// What the samples do not show, for a drawing heavier per entity than
// they are: a fifth of the entities dimensions, many texts, more inserts,
// and coordinates with all their digits, as computed ones have.
bool MakeJwwHeavy(long count, const std::string& out) {
  TJwwData d = MakeSheet();
  TRand r(31415926);
  const long inserts = count / 20;
  AddBlockLibrary(d, r, static_cast<int>(std::max(1L, inserts / 4)));
  for (long i = 0; i < count; ++i) {
    const TEntJwwAttr a = RandAttr(r, RandGroup(r));
    const double x = r.Raw(-400, 400), y = r.Raw(-280, 280);
    const int k = r.Int(100);
    if (k < 20) {
      const double len = r.Raw(1, 80);
      TEntJwwSunpo dim = Dimension(x, x + len, y, RandText(r).substr(0, 6), a);
      AddSunpo(d, dim);
    } else if (k < 35) {
      AddMoji(d, Text(x, y, RandText(r), r.Raw(2, 5), a));
    } else if (k < 40) {
      AddEnko(d, Arc(x, y, r.Raw(0.5, 40), r.Raw(0, 2 * kPi), r.Raw(0.1, 2 * kPi - 0.1), a));
    } else if (k < 45) {
      const int no = r.Int(std::max(1, d.EntBlockDefN));
      AddBlock(d, Insert(static_cast<uint32_t>(no), x, y, r.Raw(0, 2 * kPi), 1, 1, a));
    } else {
      AddLine(d, Line(x, y, x + r.Raw(-50, 50), y + r.Raw(-50, 50), a));
    }
  }
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
    std::fprintf(stderr, "usage: %s jww|lines|heavy|jwc COUNT OUT\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  if (count < 0) return 2;
  bool ok = false;
  if (kind == "jww") ok = MakeJww(count, argv[3]);
  else if (kind == "lines") ok = MakeJwwLines(count, argv[3]);
  else if (kind == "heavy") ok = MakeJwwHeavy(count, argv[3]);
  else if (kind == "jwc") ok = MakeJwc(count, argv[3]);
  else return 2;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[3]);
  return ok ? 0 : 1;
}
