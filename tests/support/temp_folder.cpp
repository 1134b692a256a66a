#include "temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <system_error>

namespace tessa::testing_support {

namespace fs = std::filesystem;

namespace {

// Gives back the rights a test may have taken from folders, so that
// everything can go.
void OpenUp(const fs::path& dir) {
  std::error_code ec;
  fs::permissions(dir, fs::perms::owner_all, ec);
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec))
    if (it->is_directory(ec) && !it->is_symlink(ec)) OpenUp(it->path());
}

std::string RandomLetters(size_t n) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 gen{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string s(n, ' ');
  for (char& c : s) c = kLetters[pick(gen)];
  return s;
}

}  // namespace

fs::path FsPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

std::string TempRoot() {
  std::error_code ec;
  const fs::path t = fs::temp_directory_path(ec);
  if (ec) return "/tmp";
  std::string root = Utf8(t);
  // Windows gives the folder with a trailing separator.
  while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
  return root;
}

TTempFolder::TTempFolder(const std::string& prefix, const std::string& root) {
  const std::string base = root.empty() ? TempRoot() : root;
  // A name nobody holds yet: making the folder fails when it exists.
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::string t = base + "/" + prefix + RandomLetters(6);
    std::error_code ec;
    if (fs::create_directory(FsPath(t), ec)) {
      fs::permissions(FsPath(t), fs::perms::owner_all, fs::perm_options::replace, ec);
      path_ = t;
    }
  }
}

TTempFolder::~TTempFolder() {
  if (path_.empty()) return;
  OpenUp(FsPath(path_));
  std::error_code ec;
  fs::remove_all(FsPath(path_), ec);
}

std::vector<std::string> TTempFolder::Names() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::directory_iterator(FsPath(path_), ec); !ec && it != fs::end(it);
       it.increment(ec))
    out.push_back(Utf8(it->path().filename()));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace tessa::testing_support
