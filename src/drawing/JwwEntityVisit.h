// Reaching the record an entry of an order list (EntNo, mNo) names.  The
// drawing's own arrays and a block definition's have different names but
// the same seven kinds; TJwwLists puts either set behind one face, so that
// every walk over an order list dispatches on the kind in one place.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

// The record at index i of an array whose count is n, or null for an
// index outside the count or the array.
template <class T>
const T* JwwItem(const std::vector<T>& a, int32_t n, int32_t i) {
  if (i < 0 || i >= n || i >= static_cast<int32_t>(a.size())) return nullptr;
  return &a[static_cast<size_t>(i)];
}

// The seven entity arrays of a drawing or of one block definition, with
// their counts.  Refers to the container, which must outlive it.
struct TJwwLists {
  const std::vector<TEntJwwLine>& line;
  int32_t lineN;
  const std::vector<TEntJwwEnko>& enko;
  int32_t enkoN;
  const std::vector<TEntJwwTen>& ten;
  int32_t tenN;
  const std::vector<TEntJwwMoji>& moji;
  int32_t mojiN;
  const std::vector<TEntJwwSunpo>& sunpo;
  int32_t sunpoN;
  const std::vector<TEntJwwSolid>& solid;
  int32_t solidN;
  const std::vector<TEntJwwBlock>& block;
  int32_t blockN;
};

inline TJwwLists JwwListsOf(const TJwwBaseData& d) {
  return {d.EntLine,  d.EntLineN,  d.EntEnko,  d.EntEnkoN,  d.EntTen,   d.EntTenN,
          d.EntMoji,  d.EntMojiN,  d.EntSunpo, d.EntSunpoN, d.EntSolid, d.EntSolidN,
          d.EntBlock, d.EntBlockN};
}

inline TJwwLists JwwListsOf(const TEntJwwBlockDef& b) {
  return {b.mLine,  b.mLineN,  b.mEnko,  b.mEnkoN,  b.mTen,   b.mTenN,   b.mMoji,
          b.mMojiN, b.mSunpo, b.mSunpoN, b.mSolid, b.mSolidN, b.mBlock, b.mBlockN};
}

// Several lambdas as one visitor, each taking the record kinds it names.
template <class... F>
struct TJwwVisitor : F... {
  using F::operator()...;
};
template <class... F>
TJwwVisitor(F...) -> TJwwVisitor<F...>;

// Calls f with the record that entry (type, i) of an order list names.
// False, without calling f, for an empty slot, an unknown kind or an index
// past its array.
template <class F>
bool VisitJwwEntity(const TJwwLists& l, int32_t type, int32_t i, F&& f) {
  auto call = [&](const auto& a, int32_t n) {
    const auto* e = JwwItem(a, n, i);
    if (e) f(*e);
    return e != nullptr;
  };
  switch (type) {
    case jwEntLine: return call(l.line, l.lineN);
    case jwEntEnko: return call(l.enko, l.enkoN);
    case jwEntTen: return call(l.ten, l.tenN);
    case jwEntMoji: return call(l.moji, l.mojiN);
    case jwEntSunpo: return call(l.sunpo, l.sunpoN);
    case jwEntSolid: return call(l.solid, l.solidN);
    case jwEntBlock: return call(l.block, l.blockN);
    default: return false;
  }
}

}  // namespace tessa
