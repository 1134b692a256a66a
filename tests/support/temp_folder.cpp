#include "temp_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tessa::testing_support {

namespace fs = std::filesystem;

namespace {

// Gives back the rights a test may have taken from folders, so that
// everything can go.
void OpenUp(const fs::path& dir) {
  ::chmod(dir.c_str(), 0700);
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec))
    if (it->is_directory(ec) && !it->is_symlink(ec)) OpenUp(it->path());
}

}  // namespace

std::string TempRoot() {
  const char* t = std::getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

TTempFolder::TTempFolder(const std::string& prefix) {
  std::string t = TempRoot() + "/" + prefix + "XXXXXX";
  if (::mkdtemp(t.data())) path_ = t;
}

TTempFolder::~TTempFolder() {
  if (path_.empty()) return;
  OpenUp(path_);
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::vector<std::string> TTempFolder::Names() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
    out.push_back(it->path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace tessa::testing_support
