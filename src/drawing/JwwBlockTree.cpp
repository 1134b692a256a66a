// Expansion of all block inserts, nested ones included, into one flat list
// of placed copies with their accumulated placement.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "drawing/JwwBase.h"

#include "util/Math.h"

namespace tessa {

namespace {

// A definition placing itself would expand without end; inserts of a
// definition already on their own path are left out.  Legitimate drawings
// that nest definitions as a tree (without cycles) can still multiply the
// number of copies at every level, so the expansion also stops at a depth
// and at a total that no real drawing comes near; a drawing that reaches
// either is refused (the reading fails).
constexpr int32_t kMaxLevel = 64;
// Large site plans place 10^5 symbols, many of them nested (a unit placing
// its fixtures): several times that many copies must still fit.
constexpr size_t kMaxEntries = 1u << 22;
// Entities (and name characters) placed by all copies together: what later
// passes walk and what the copies hold.
constexpr uint64_t kMaxPlaced = uint64_t{1} << 24;
// Below those ceilings the budgets also grow only with what the file holds
// (inserts, definition contents, names), so a small file cannot claim much
// memory through nesting: a fixed floor, else this many per stored item.
constexpr uint64_t kPerStoredItem = 256;
constexpr uint64_t kMinEntries = uint64_t{1} << 16;
constexpr uint64_t kMinPlaced = uint64_t{1} << 20;

// Index of the first definition of each number: one lookup per copy
// instead of a walk through all definitions.
class TDefIndex {
 public:
  TDefIndex(const std::vector<TEntJwwBlockDef>& defs, int32_t defN) {
    int32_t n = std::min<int32_t>(defN, static_cast<int32_t>(defs.size()));
    for (int32_t i = 0; i < n; ++i) first_.emplace(defs[static_cast<size_t>(i)].nNumber, i);
  }
  int32_t Find(uint32_t no) const {
    auto it = first_.find(no);
    return it == first_.end() ? -1 : it->second;
  }

 private:
  std::unordered_map<uint32_t, int32_t> first_;
};

// Rotation-scale factors and target definition of every nested insert,
// worked out once per definition instead of once per placed copy.
class TNestedIndex {
 public:
  struct TNested {
    double w, bb, c, dd;
    int32_t target;
  };
  TNestedIndex(const std::vector<TEntJwwBlockDef>& defs, const TDefIndex& index) {
    start_.reserve(defs.size() + 1);
    for (const TEntJwwBlockDef& d : defs) {
      start_.push_back(all_.size());
      int32_t nested = std::min<int32_t>(d.mBlockN, static_cast<int32_t>(d.mBlock.size()));
      for (int32_t l = 0; l < nested; ++l) {
        const TEntJwwBlock& b = d.mBlock[static_cast<size_t>(l)];
        double a = b.radKaitenKaku, sx = b.dBairitsuX, sy = b.dBairitsuY;
        all_.push_back({math::Cos(a) * sx, math::Sin(a) * sx, -math::Sin(a) * sy,
                        math::Cos(a) * sy, index.Find(b.nNumber)});
      }
    }
    start_.push_back(all_.size());
  }
  const TNested& At(int32_t defno, int32_t l) const {
    return all_[start_[static_cast<size_t>(defno)] + static_cast<size_t>(l)];
  }

 private:
  std::vector<size_t> start_;
  std::vector<TNested> all_;
};

// Number of entries the expansion makes, so that the list is allocated
// once instead of grown by copying: 1 + the entries below it for every top
// insert.  Definitions placing themselves (directly or not) make the count
// path-dependent; then 0 (unknown) is returned.  The result never passes
// `cap`.
uint64_t ExpectedEntries(const std::vector<TEntJwwBlock>& tops, int32_t topN,
                         const TDefIndex& index, const TNestedIndex& nested,
                         const std::vector<TEntJwwBlockDef>& defs, uint64_t cap) {
  enum : char { kTodo, kBusy, kDone };
  std::vector<char> state(defs.size(), kTodo);
  std::vector<uint64_t> below(defs.size(), 0);
  struct TFrame {
    int32_t def, l;
  };
  std::vector<TFrame> stack;
  auto nestedN = [&](int32_t k) {
    const TEntJwwBlockDef& d = defs[static_cast<size_t>(k)];
    return std::min<int32_t>(d.mBlockN, static_cast<int32_t>(d.mBlock.size()));
  };
  // Entries below a copy of every definition reachable from `root`,
  // depth first without recursion; false on a cycle.
  auto count = [&](int32_t root) {
    if (state[static_cast<size_t>(root)] == kDone) return true;
    state[static_cast<size_t>(root)] = kBusy;
    stack.push_back({root, 0});
    while (!stack.empty()) {
      TFrame& f = stack.back();
      if (f.l == nestedN(f.def)) {
        state[static_cast<size_t>(f.def)] = kDone;
        stack.pop_back();
        continue;
      }
      const int32_t t = nested.At(f.def, f.l).target;
      if (t >= 0 && state[static_cast<size_t>(t)] == kBusy) return false;
      if (t >= 0 && state[static_cast<size_t>(t)] == kTodo) {
        state[static_cast<size_t>(t)] = kBusy;
        stack.push_back({t, 0});
        continue;
      }
      const uint64_t add = 1 + (t >= 0 ? below[static_cast<size_t>(t)] : 0);
      below[static_cast<size_t>(f.def)] = std::min(cap, below[static_cast<size_t>(f.def)] + add);
      ++f.l;
    }
    return true;
  };
  uint64_t total = 0;
  for (int32_t j = 0; j < topN; ++j) {
    const int32_t k = index.Find(tops[static_cast<size_t>(j)].nNumber);
    if (k >= 0 && !count(k)) return 0;
    total = std::min(cap, total + 1 + (k >= 0 ? below[static_cast<size_t>(k)] : 0));
  }
  return total;
}

// What the file stores that the expansion can place.
uint64_t StoredItems(const TJwwBaseData& d) {
  uint64_t n = static_cast<uint64_t>(d.EntBlock.size());
  for (const TEntJwwBlockDef& def : d.EntBlockDef)
    n += def.mNo.size() + def.strName.size() + 1;
  return n;
}

bool OnPath(const std::vector<TEntJwwBlockTree>& tree, int32_t k, int32_t defno) {
  for (int32_t p = k; p >= 0; p = tree[static_cast<size_t>(p)].parent)
    if (tree[static_cast<size_t>(p)].defno == defno) return true;
  return false;
}

}  // namespace

bool TJwwBaseData::MakeBlockTree() {
  EntBlockTree.clear();
  EntBlockTreeN = 0;
  EntBlockLoopN = 0;
  for (TEntJwwBlockDef& d : EntBlockDef) {
    d.ref_flag = false;
    d.ref_no = -1;
  }
  int32_t topN = std::min<int32_t>(EntBlockN, static_cast<int32_t>(EntBlock.size()));
  if (topN <= 0) return true;
  bool whole = true;  // no copy was left out for a limit
  const TDefIndex defs(EntBlockDef, EntBlockDefN);
  const TNestedIndex nestedAt(EntBlockDef, defs);
  const uint64_t stored = StoredItems(*this) * kPerStoredItem;
  const uint64_t maxEntries = std::min<uint64_t>(kMaxEntries, std::max(kMinEntries, stored));
  const uint64_t maxPlaced = std::min(kMaxPlaced, std::max(kMinPlaced, stored));
  EntBlockTree.reserve(static_cast<size_t>(
      ExpectedEntries(EntBlock, topN, defs, nestedAt, EntBlockDef, maxEntries)));

  uint64_t placed = 0;
  auto place = [&](TEntJwwBlockTree& e) {
    e.defno = defs.Find(e.no);
    if (e.defno < 0) return;
    TEntJwwBlockDef& d = EntBlockDef[static_cast<size_t>(e.defno)];
    // Past the budget (only a crafted file gets there) the copy keeps defno
    // but no private copy of the name.
    if (placed < maxPlaced) e.name = d.strName;
    d.ref_flag = true;
    placed += static_cast<uint64_t>(d.mNo.size()) + d.strName.size() + 1;
  };

  for (int32_t j = 0; j < topN; ++j) {
    const TEntJwwBlock& b = EntBlock[static_cast<size_t>(j)];
    TEntJwwBlockTree e;
    e.att = b.att;
    e.level = 0;
    e.parent = -1;
    e.no = b.nNumber;
    double a = b.radKaitenKaku, sx = b.dBairitsuX, sy = b.dBairitsuY;
    e.x = b.DPKijunTen_x;
    e.y = b.DPKijunTen_y;
    e.r1 = math::Cos(a) * sx;
    e.r2 = -math::Sin(a) * sy;
    e.r3 = math::Sin(a) * sx;
    e.r4 = math::Cos(a) * sy;
    place(e);
    EntBlockTree.push_back(std::move(e));
  }

  for (size_t k = 0; k < EntBlockTree.size(); ++k) {
    if (EntBlockTree[k].defno < 0) continue;
    const TEntJwwBlockDef& d = EntBlockDef[static_cast<size_t>(EntBlockTree[k].defno)];
    int32_t nested = std::min<int32_t>(d.mBlockN, static_cast<int32_t>(d.mBlock.size()));
    if (nested > 0 && EntBlockTree[k].level >= kMaxLevel) {
      whole = false;
      continue;
    }
    for (int32_t l = 0; l < nested; ++l) {
      if (EntBlockTree.size() >= maxEntries || placed >= maxPlaced) {
        whole = false;
        break;
      }
      const TEntJwwBlock& b = d.mBlock[static_cast<size_t>(l)];
      const TNestedIndex::TNested& f = nestedAt.At(EntBlockTree[k].defno, l);
      int32_t target = f.target;
      if (target >= 0 && OnPath(EntBlockTree, static_cast<int32_t>(k), target)) {
        ++EntBlockLoopN;
        continue;
      }

      const TEntJwwBlockTree p = EntBlockTree[k];  // copy: push_back may move
      TEntJwwBlockTree e;
      e.att = d.att;
      e.level = p.level + 1;
      e.parent = static_cast<int32_t>(k);
      e.no = b.nNumber;
      double px = b.DPKijunTen_x, py = b.DPKijunTen_y;
      e.x = p.x + p.r1 * px + p.r2 * py;
      e.y = p.y + p.r3 * px + p.r4 * py;
      const double w = f.w, bb = f.bb, c = f.c, dd = f.dd;
      e.r1 = p.r1 * w + p.r2 * bb;
      e.r2 = p.r1 * c + p.r2 * dd;
      e.r3 = p.r3 * w + p.r4 * bb;
      e.r4 = p.r3 * c + p.r4 * dd;
      place(e);
      EntBlockTree.push_back(std::move(e));
    }
  }
  EntBlockTreeN = static_cast<int32_t>(EntBlockTree.size());

  int32_t no = 0;
  for (TEntJwwBlockDef& d : EntBlockDef)
    if (d.ref_flag) d.ref_no = no++;
  EntBlockNum = no;
  return whole;
}

}  // namespace tessa
