#include "drawing/JwwBlockScales.h"

#include <algorithm>
#include <cmath>

#include "drawing/JwwEntityVisit.h"

namespace tessa {

namespace {

const std::vector<double> kNoScales;

// A damaged drawing may hold a group scale that is not a number; it is
// still one scale, so that a definition never gets more copies than there
// are groups.
bool AddScale(std::vector<double>& set, double s) {
  for (double t : set)
    if (TJwwBlockScales::SameScale(s, t)) return false;
  set.push_back(s);
  return true;
}

// Ascending, a scale that is not a number last.
bool ScaleBefore(double a, double b) { return std::isnan(b) ? !std::isnan(a) : a < b; }

// The inserts an order list names, in its order.
template <class F>
void ForEachInsert(const std::vector<TEntJwwNo>& order, size_t n, const std::vector<TEntJwwBlock>& a,
                   int32_t aN, F&& f) {
  for (size_t k = 0; k < n && k < order.size(); ++k) {
    if (order[k].EntType != jwEntBlock) continue;
    if (const TEntJwwBlock* e = JwwItem(a, aN, order[k].EntNo)) f(*e);
  }
}

}  // namespace

TJwwBlockScales::TJwwBlockScales(const TJwwBaseData& d, const std::array<double, 16>& groupScale)
    : defN_(std::max<int32_t>(
          0, std::min<int32_t>(d.EntBlockDefN, static_cast<int32_t>(d.EntBlockDef.size())))) {
  for (int32_t i = 0; i < defN_; ++i)
    if (d.EntBlockDef[static_cast<size_t>(i)].ref_flag)
      first_.emplace(d.EntBlockDef[static_cast<size_t>(i)].nNumber, i);

  places_.resize(static_cast<size_t>(defN_));
  for (int32_t i = 0; i < defN_; ++i) {
    const TEntJwwBlockDef& def = d.EntBlockDef[static_cast<size_t>(i)];
    if (!def.ref_flag) continue;
    // Contents go into the first definition of their number.
    const int32_t into = Find(def.nNumber);
    const size_t n = static_cast<size_t>(std::max(def.N, 0));
    ForEachInsert(def.mNo, n, def.mBlock, def.mBlockN, [&](const TEntJwwBlock& e) {
      const int32_t to = Valid(e) ? Find(e.nNumber) : -1;
      if (to >= 0) places_[static_cast<size_t>(into)].push_back(to);
    });
  }
  FindLoops();

  scales_.resize(static_cast<size_t>(defN_));
  ForEachInsert(d.EntNo, d.EntNo.size(), d.EntBlock, d.EntBlockN, [&](const TEntJwwBlock& e) {
    const int32_t to = Valid(e) ? Find(e.nNumber) : -1;
    if (to >= 0) AddScale(scales_[static_cast<size_t>(to)], groupScale[e.att.nGLayer]);
  });
  Spread();
  for (std::vector<double>& s : scales_) std::sort(s.begin(), s.end(), ScaleBefore);
}

int32_t TJwwBlockScales::Find(uint32_t number) const {
  auto it = first_.find(number);
  return it == first_.end() ? -1 : it->second;
}

const std::vector<double>& TJwwBlockScales::Scales(int32_t def) const {
  if (def < 0 || def >= defN_) return kNoScales;
  return scales_[static_cast<size_t>(def)];
}

bool TJwwBlockScales::Cyclic(int32_t from, int32_t to) const {
  if (from < 0 || to < 0 || from >= defN_ || to >= defN_) return false;
  return loop_[static_cast<size_t>(from)] == loop_[static_cast<size_t>(to)] &&
         (from != to || std::count(places_[static_cast<size_t>(from)].begin(),
                                   places_[static_cast<size_t>(from)].end(), to) > 0);
}

// Strongly connected parts of the "places" graph (Tarjan's algorithm,
// without recursion: nesting may be deep in a damaged file).  Two
// definitions in one part place each other.
void TJwwBlockScales::FindLoops() {
  const size_t n = static_cast<size_t>(defN_);
  loop_.assign(n, -1);
  std::vector<int32_t> index(n, -1), low(n, 0);
  std::vector<bool> onStack(n, false);
  std::vector<int32_t> stack;
  struct TFrame {
    int32_t v;
    size_t next;
  };
  std::vector<TFrame> calls;
  int32_t counter = 0, parts = 0;
  for (size_t s = 0; s < n; ++s) {
    if (index[s] >= 0) continue;
    calls.push_back({static_cast<int32_t>(s), 0});
    index[s] = low[s] = counter++;
    stack.push_back(static_cast<int32_t>(s));
    onStack[s] = true;
    while (!calls.empty()) {
      TFrame& f = calls.back();
      const size_t v = static_cast<size_t>(f.v);
      if (f.next < places_[v].size()) {
        const size_t w = static_cast<size_t>(places_[v][f.next++]);
        if (index[w] < 0) {
          index[w] = low[w] = counter++;
          stack.push_back(static_cast<int32_t>(w));
          onStack[w] = true;
          calls.push_back({static_cast<int32_t>(w), 0});
        } else if (onStack[w]) {
          low[v] = std::min(low[v], index[w]);
        }
        continue;
      }
      if (low[v] == index[v]) {
        int32_t w;
        do {
          w = stack.back();
          stack.pop_back();
          onStack[static_cast<size_t>(w)] = false;
          loop_[static_cast<size_t>(w)] = parts;
        } while (w != f.v);
        ++parts;
      }
      calls.pop_back();
      if (!calls.empty()) {
        const size_t u = static_cast<size_t>(calls.back().v);
        low[u] = std::min(low[u], low[v]);
      }
    }
  }
}

// Every scale of a definition reaches the definitions it places, except
// through inserts that close a loop.
void TJwwBlockScales::Spread() {
  std::vector<int32_t> work;
  std::vector<bool> queued(static_cast<size_t>(defN_), false);
  for (int32_t i = 0; i < defN_; ++i)
    if (!scales_[static_cast<size_t>(i)].empty()) {
      work.push_back(i);
      queued[static_cast<size_t>(i)] = true;
    }
  while (!work.empty()) {
    const int32_t from = work.back();
    work.pop_back();
    queued[static_cast<size_t>(from)] = false;
    for (int32_t to : places_[static_cast<size_t>(from)]) {
      if (Cyclic(from, to)) continue;
      bool grew = false;
      for (double s : scales_[static_cast<size_t>(from)])
        grew = AddScale(scales_[static_cast<size_t>(to)], s) || grew;
      if (grew && !queued[static_cast<size_t>(to)]) {
        work.push_back(to);
        queued[static_cast<size_t>(to)] = true;
      }
    }
  }
}

}  // namespace tessa
