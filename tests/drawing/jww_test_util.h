// Small helpers shared by the JWW/JWS reader tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "JwwFixtureWriter.h"
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

// A fresh folder under the test temp folder, removed with its contents at
// the end of the scope.
class TTempDir {
 public:
  TTempDir() {
    std::string t = std::filesystem::temp_directory_path().string() + "/jwwtest-XXXXXX";
    std::vector<char> buf(t.begin(), t.end());
    buf.push_back('\0');
    path_ = ::mkdtemp(buf.data()) ? buf.data() : "";
  }
  ~TTempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  // With a trailing separator.
  std::string Dir() const { return path_ + "/"; }

 private:
  std::string path_;
};

}  // namespace tessa::test
