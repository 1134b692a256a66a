// Small helpers shared by the JWW/JWS reader tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "JwwFixtureWriter.h"
#include "temp_folder.h"
#include "drawing/ByteReader.h"
#include "util/Func_2.h"

namespace tessa::test {

inline bool ReadJww(TJwwData& d, const std::vector<uint8_t>& b) {
  return d.FileInMem(b.data(), b.size());
}
inline bool ReadJws(TJwsData& d, const std::vector<uint8_t>& b) {
  return d.FileInMem(b.data(), b.size());
}

// The order list of a drawing or of a block definition with the sizes and
// N counts of its seven entity arrays, in kind order (line .. block).
struct TListShape {
  const std::vector<TEntJwwNo>& no;
  std::vector<size_t> sizes;
  std::vector<int32_t> counts;
};

inline TListShape ShapeOf(const TJwwBaseData& d) {
  return {d.EntNo,
          {d.EntLine.size(), d.EntEnko.size(), d.EntTen.size(), d.EntMoji.size(),
           d.EntSunpo.size(), d.EntSolid.size(), d.EntBlock.size()},
          {d.EntLineN, d.EntEnkoN, d.EntTenN, d.EntMojiN, d.EntSunpoN, d.EntSolidN,
           d.EntBlockN}};
}

inline TListShape ShapeOf(const TEntJwwBlockDef& d) {
  return {d.mNo,
          {d.mLine.size(), d.mEnko.size(), d.mTen.size(), d.mMoji.size(), d.mSunpo.size(),
           d.mSolid.size(), d.mBlock.size()},
          {d.mLineN, d.mEnkoN, d.mTenN, d.mMojiN, d.mSunpoN, d.mSolidN, d.mBlockN}};
}

}  // namespace tessa::test
