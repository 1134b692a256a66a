#include "FuzzSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "attributes/UnitGraAtt.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwwBase.h"
#include "util/UnitVal.h"

namespace tessa::fuzz {

namespace {
bool g_throw = false;
}  // namespace

void ThrowOnFail(bool on) { g_throw = on; }

void Fail(const char* what, const char* file, int line) {
  if (g_throw) throw TCheckFailed{std::string(what) + " at " + file + ":" + std::to_string(line)};
  std::fprintf(stderr, "FUZZ_CHECK failed: %s at %s:%d\n", what, file, line);
  std::fflush(stderr);
  std::abort();
}

namespace {

std::string MakeScratch() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp && *tmp) ? tmp : "/tmp";
  std::string tmpl = base + "/tessa-fuzz-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) Fail("mkdtemp", __FILE__, __LINE__);
  return std::string(buf.data()) + "/";
}

void RemoveScratch() { RemoveTree(ScratchDir()); }

template <class T>
bool CountFits(const std::vector<T>& v, int32_t n) {
  return n >= 0 && static_cast<size_t>(n) <= v.size();
}

void CheckList(const std::vector<tessa::TEntJwwNo>& no, const std::vector<int32_t>& counts) {
  for (const tessa::TEntJwwNo& e : no) {
    FUZZ_CHECK(e.EntType >= 0 && e.EntType <= 7);
    if (e.EntType == 0) continue;
    FUZZ_CHECK(e.EntNo >= 0);
    FUZZ_CHECK(e.EntNo < counts[static_cast<size_t>(e.EntType - 1)]);
  }
}

}  // namespace

const std::string& ScratchDir() {
  // Never destroyed: the exit handler that removes the folder runs after
  // the destructors of statics constructed after its registration.
  static const std::string* dir = [] {
    auto* d = new std::string(MakeScratch());
    std::atexit(RemoveScratch);
    return d;
  }();
  return *dir;
}

void WriteInput(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  if (size) FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
  FUZZ_CHECK(std::fclose(f) == 0);
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(d);
  return names;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    std::string p = path;
    if (p.back() != '/') p.push_back('/');
    for (const std::string& n : ListDir(p)) RemoveTree(p + n);
    ::rmdir(p.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

void CheckWalkable(const TJwwBaseData& d) {
  FUZZ_CHECK(CountFits(d.EntLine, d.EntLineN));
  FUZZ_CHECK(CountFits(d.EntEnko, d.EntEnkoN));
  FUZZ_CHECK(CountFits(d.EntTen, d.EntTenN));
  FUZZ_CHECK(CountFits(d.EntMoji, d.EntMojiN));
  FUZZ_CHECK(CountFits(d.EntSunpo, d.EntSunpoN));
  FUZZ_CHECK(CountFits(d.EntSolid, d.EntSolidN));
  FUZZ_CHECK(CountFits(d.EntBlock, d.EntBlockN));
  CheckList(d.EntNo, {d.EntLineN, d.EntEnkoN, d.EntTenN, d.EntMojiN, d.EntSunpoN,
                      d.EntSolidN, d.EntBlockN});
  FUZZ_CHECK(CountFits(d.EntBlockDef, d.EntBlockDefN));
  for (const TEntJwwBlockDef& def : d.EntBlockDef) {
    FUZZ_CHECK(CountFits(def.mLine, def.mLineN));
    FUZZ_CHECK(CountFits(def.mEnko, def.mEnkoN));
    FUZZ_CHECK(CountFits(def.mTen, def.mTenN));
    FUZZ_CHECK(CountFits(def.mMoji, def.mMojiN));
    FUZZ_CHECK(CountFits(def.mSunpo, def.mSunpoN));
    FUZZ_CHECK(CountFits(def.mSolid, def.mSolidN));
    FUZZ_CHECK(CountFits(def.mBlock, def.mBlockN));
    CheckList(def.mNo, {def.mLineN, def.mEnkoN, def.mTenN, def.mMojiN, def.mSunpoN,
                        def.mSolidN, def.mBlockN});
  }
  FUZZ_CHECK(CountFits(d.EntBlockTree, d.EntBlockTreeN));
  for (int32_t k = 0; k < d.EntBlockTreeN; ++k) {
    const TEntJwwBlockTree& t = d.EntBlockTree[static_cast<size_t>(k)];
    FUZZ_CHECK(t.defno >= -1 && t.defno < d.EntBlockDefN);
    FUZZ_CHECK(t.parent >= -1 && t.parent < k);
    if (t.defno >= 0) FUZZ_CHECK(d.EntBlockDef[static_cast<size_t>(t.defno)].ref_flag);
  }
  FUZZ_CHECK(d.EntBlockNum >= 0 && d.EntBlockNum <= d.EntBlockDefN);
  FUZZ_CHECK(CountFits(d.BindImage, d.BindImageN));
}

template <class D>
void CheckJwcLists(const D& d) {
  FUZZ_CHECK(CountFits(d.EntLine, d.lineN));
  FUZZ_CHECK(CountFits(d.EntArc, d.arcN));
  FUZZ_CHECK(CountFits(d.EntMoji, d.mojiN));
  FUZZ_CHECK(CountFits(d.EntTen, d.tenN));
  FUZZ_CHECK(d.EntMjtp.empty() || d.EntMjtp.size() == 12);
}

void CheckWalkable(const TJwcData& d) {
  CheckJwcLists(d);
  if (!d.EntVten.empty()) {
    FUZZ_CHECK(d.EntVten.size() == 101);
    FUZZ_CHECK(d.Enthd.vtenCount >= 0 && d.Enthd.vtenCount <= 100);
  }
  FUZZ_CHECK(d.EntLgrp.empty() || d.EntLgrp.size() == 16);
  FUZZ_CHECK(d.EntLay.empty() || d.EntLay.size() == 256);
}

void CheckWalkable(const TJwkData& d) { CheckJwcLists(d); }

}  // namespace tessa::fuzz
