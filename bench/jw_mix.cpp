// Measures what real drawings are made of, so that the benchmark's large
// drawings can mirror them: share of entity kinds, text lengths, block use
// (definitions, copies per definition, nesting) and layer-group scales.
// Reads each file with the project's reader only (no conversion).
//
//   jw_mix FILE.jww|FILE.jws ...
//
// Prints one line per file, then the totals over the JWW drawings (the
// mix of a drawing) and over the JWS symbols (what a block holds).  Files
// that do not load are named and left out.
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "drawing/JwsUnit.h"
#include "drawing/JwwEntityVisit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

using namespace tessa;

namespace {

// Kinds as the report counts them; arcs are split into their three shapes.
enum Kind {
  kLine, kArc, kCircle, kEllipse, kPoint, kTempPoint, kText, kDim, kSolid, kInsert, kKinds
};
const char* const kKindName[kKinds] = {"line",   "arc",  "circle", "ellipse", "point",
                                       "tpoint", "text", "dim",    "solid",   "insert"};

struct Mix {
  long files = 0;
  std::array<long, kKinds> top{};   // the drawing's own list
  std::array<long, kKinds> inDef{};  // inside block definitions
  std::vector<size_t> textLen;       // UTF-16 units of each text (own list + definitions)
  std::vector<size_t> dimTextLen;
  long verticalTexts = 0, colouredSolids = 0;
  std::map<uint32_t, long> solidColours;  // own colours of solids
  std::map<std::u16string, long> fonts;
  long defs = 0, usedDefs = 0, copies = 0, nestedCopies = 0;
  int maxDepth = 0;
  std::vector<long> copiesPerUsedDef;
  std::vector<long> entitiesPerDef;
  std::map<double, long> scaleOfEntities;  // layer-group scale -> own-list entities on it
  std::map<int, long> groupsUsed;          // number of distinct groups a file draws on -> files
  std::map<int, long> layersUsed;          // distinct (group, layer) pairs -> files
};

Kind KindOf(const TEntJwwEnko& e) {
  if (e.dHenpeiRitsu != 1 && e.dHenpeiRitsu != 0) return kEllipse;
  return e.bZenEnFlg ? kCircle : kArc;
}

const TEntJwwAttr& AttOf(const TEntJwwLine& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwEnko& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwTen& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwMoji& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwSunpo& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwSolid& e) { return e.att; }
const TEntJwwAttr& AttOf(const TEntJwwBlock& e) { return e.att; }

// Counts one order list into `counts`; attributes go to `seen` when given.
void Count(const std::vector<TEntJwwNo>& no, const TJwwLists& lists, Mix& m,
           std::array<long, kKinds>& counts, std::vector<const TEntJwwAttr*>* seen) {
  for (const TEntJwwNo& n : no) {
    VisitJwwEntity(lists, n.EntType, n.EntNo,
                   TJwwVisitor{
                       [&](const TEntJwwLine&) { ++counts[kLine]; },
                       [&](const TEntJwwEnko& e) { ++counts[KindOf(e)]; },
                       [&](const TEntJwwTen& e) { ++counts[e.bKariten ? kTempPoint : kPoint]; },
                       [&](const TEntJwwMoji& e) {
                         ++counts[kText];
                         m.textLen.push_back(e.str.size());
                         if (e.att.sFlg & 0x20) ++m.verticalTexts;
                         ++m.fonts[e.strFontName];
                       },
                       [&](const TEntJwwSunpo& e) {
                         ++counts[kDim];
                         m.dimTextLen.push_back(e.Moji.str.size());
                       },
                       [&](const TEntJwwSolid& e) {
                         ++counts[kSolid];
                         if (e.att.nPenColor == 10) {
                           ++m.colouredSolids;
                           ++m.solidColours[e.Color];
                         }
                       },
                       [&](const TEntJwwBlock&) { ++counts[kInsert]; },
                   });
    if (seen)
      VisitJwwEntity(lists, n.EntType, n.EntNo,
                     [&](const auto& e) { seen->push_back(&AttOf(e)); });
  }
}

void Add(const TJwwBaseData& d, const std::vector<double>& scales, Mix& m, const std::string& path) {
  ++m.files;
  std::array<long, kKinds> top{}, inDef{};
  std::vector<const TEntJwwAttr*> atts;
  Count(d.EntNo, JwwListsOf(d), m, top, &atts);
  std::map<int, int> groups;
  std::map<std::pair<int, int>, int> layers;
  for (const TEntJwwAttr* a : atts) {
    ++groups[a->nGLayer];
    ++layers[{a->nGLayer, a->nLayer}];
    if (a->nGLayer < scales.size()) ++m.scaleOfEntities[scales[a->nGLayer]];
  }
  ++m.groupsUsed[static_cast<int>(groups.size())];
  ++m.layersUsed[static_cast<int>(layers.size())];

  std::map<uint32_t, long> copiesOf;
  int depth = 0;
  long nested = 0;
  for (int32_t i = 0; i < d.EntBlockTreeN && i < static_cast<int32_t>(d.EntBlockTree.size()); ++i) {
    const TEntJwwBlockTree& t = d.EntBlockTree[static_cast<size_t>(i)];
    ++copiesOf[t.no];
    depth = std::max(depth, t.level + 1);
    if (t.level > 0) ++nested;
  }
  long used = 0, defEntities = 0;
  for (int32_t i = 0; i < d.EntBlockDefN && i < static_cast<int32_t>(d.EntBlockDef.size()); ++i) {
    const TEntJwwBlockDef& b = d.EntBlockDef[static_cast<size_t>(i)];
    Count(b.mNo, JwwListsOf(b), m, inDef, nullptr);
    m.entitiesPerDef.push_back(static_cast<long>(b.mNo.size()));
    defEntities += static_cast<long>(b.mNo.size());
    if (b.ref_flag) {
      ++used;
      m.copiesPerUsedDef.push_back(copiesOf[b.nNumber]);
    }
  }
  m.defs += d.EntBlockDefN;
  m.usedDefs += used;
  m.copies += d.EntBlockTreeN;
  m.nestedCopies += nested;
  m.maxDepth = std::max(m.maxDepth, depth);
  long total = 0;
  for (int k = 0; k < kKinds; ++k) {
    m.top[k] += top[k];
    m.inDef[k] += inDef[k];
    total += top[k];
  }
  std::printf("%-60s own %7ld", path.c_str(), total);
  for (int k = 0; k < kKinds; ++k)
    if (top[k]) std::printf(" %s %ld", kKindName[k], top[k]);
  std::printf(" | defs %d (used %ld, %ld entities) copies %d nested %ld depth %d groups %zu layers %zu\n",
              d.EntBlockDefN, used, defEntities, d.EntBlockTreeN, nested, depth, groups.size(),
              layers.size());
}

// p-th percentile of a sorted list (nearest rank).
template <class T>
T Pct(const std::vector<T>& v, double p) {
  if (v.empty()) return T{};
  size_t i = static_cast<size_t>(p / 100.0 * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

void Lengths(const char* what, std::vector<size_t> v) {
  std::sort(v.begin(), v.end());
  double sum = 0;
  for (size_t x : v) sum += static_cast<double>(x);
  std::printf("  %s lengths (UTF-16 units), %zu of them: mean %.1f, p10 %zu p25 %zu p50 %zu p75 %zu"
              " p90 %zu p99 %zu max %zu\n",
              what, v.size(), v.empty() ? 0.0 : sum / static_cast<double>(v.size()), Pct(v, 10),
              Pct(v, 25), Pct(v, 50), Pct(v, 75), Pct(v, 90), Pct(v, 99),
              v.empty() ? size_t{0} : v.back());
  // Buckets the generator draws from.
  const size_t edges[] = {1, 2, 4, 8, 16, 32, 64, 100000};
  std::printf("   ");
  size_t lo = 0;
  for (size_t hi : edges) {
    long c = 0;
    for (size_t x : v)
      if (x >= lo && x < hi) ++c;
    if (hi < 100000)
      std::printf(" [%zu,%zu) %.1f%%", lo, hi, v.empty() ? 0.0 : 100.0 * c / v.size());
    else
      std::printf(" [%zu,-) %.1f%%", lo, v.empty() ? 0.0 : 100.0 * c / v.size());
    lo = hi;
  }
  std::printf("\n");
}

void Report(const char* title, const Mix& m) {
  if (m.files == 0) return;
  std::printf("\n== %s: %ld files\n", title, m.files);
  long top = 0, in = 0;
  for (int k = 0; k < kKinds; ++k) {
    top += m.top[k];
    in += m.inDef[k];
  }
  std::printf("  kind       own list          in definitions\n");
  for (int k = 0; k < kKinds; ++k)
    std::printf("  %-8s %8ld %5.1f%%   %8ld %5.1f%%\n", kKindName[k], m.top[k],
                top ? 100.0 * m.top[k] / top : 0.0, m.inDef[k], in ? 100.0 * m.inDef[k] / in : 0.0);
  std::printf("  total    %8ld          %8ld\n", top, in);
  Lengths("text", m.textLen);
  Lengths("dimension text", m.dimTextLen);
  std::printf("  vertical texts %ld, solids with own colour %ld (%zu distinct colours), fonts:",
              m.verticalTexts, m.colouredSolids, m.solidColours.size());
  for (const auto& [f, c] : m.fonts) std::printf(" %s=%ld", StrToUtf8(f).c_str(), c);
  std::printf("\n  block definitions %ld (used %ld), copies %ld (nested %ld), max nesting depth %d\n",
              m.defs, m.usedDefs, m.copies, m.nestedCopies, m.maxDepth);
  std::vector<long> c = m.copiesPerUsedDef, e = m.entitiesPerDef;
  std::sort(c.begin(), c.end());
  std::sort(e.begin(), e.end());
  std::printf("  copies per used definition: p50 %ld p90 %ld max %ld; entities per definition:"
              " p50 %ld p90 %ld max %ld\n",
              Pct(c, 50), Pct(c, 90), c.empty() ? 0 : c.back(), Pct(e, 50), Pct(e, 90),
              e.empty() ? 0 : e.back());
  std::printf("  own-list entities by layer-group scale:");
  for (const auto& [s, n] : m.scaleOfEntities) std::printf(" 1/%g=%ld", s, n);
  std::printf("\n  groups drawn on per file:");
  for (const auto& [g, n] : m.groupsUsed) std::printf(" %d:%ld", g, n);
  std::printf("\n  layers drawn on per file:");
  for (const auto& [g, n] : m.layersUsed) std::printf(" %d:%ld", g, n);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: jw_mix FILE.jww|FILE.jws ...\n");
    return 1;
  }
  Mix jww, jws;
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    const std::string ext = FileExtLower(path);
    std::vector<double> scales;
    if (ext == ".jww") {
      TJwwData d;
      if (!d.FileCheck(path) || !d.FileIn(path)) {
        std::printf("%s: does not load\n", path.c_str());
        continue;
      }
      for (const TEntJwwLayerGroup& g : d.EntLgrp) scales.push_back(g.adScale);
      Add(d, scales, jww, path);
    } else if (ext == ".jws") {
      TJwsData d;
      if (!d.FileCheck(path) || !d.FileIn(path)) {
        std::printf("%s: does not load\n", path.c_str());
        continue;
      }
      for (const TEntJwwLayerGroup& g : d.EntLgrp) scales.push_back(g.adScale);
      Add(d, scales, jws, path);
    }
  }
  Report("JWW drawings", jww);
  Report("JWS symbols", jws);
  return 0;
}
