#include "samples.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tessa::testing_support {

namespace fs = std::filesystem;

namespace {

std::string FromEnvironment() {
  const char* e = std::getenv("TESSA_SAMPLES_DIR");
  return e ? e : "";
}

bool IsFolder(const std::string& p) {
  std::error_code ec;
  return !p.empty() && fs::is_directory(p, ec);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string SamplesDir() {
  for (const std::string& p : {FromEnvironment(), std::string(TESSA_SAMPLES_DIR)})
    if (IsFolder(p)) return p;
  return {};
}

std::string SamplesLookedFor() {
  const std::string env = FromEnvironment();
  return "$TESSA_SAMPLES_DIR (" + (env.empty() ? std::string("not set") : "\"" + env + "\"") +
         ") and \"" + TESSA_SAMPLES_DIR + "\" (CMake TESSA_SAMPLES_DIR)";
}

std::vector<std::string> SampleFiles(const std::string& sub, const std::string& ext) {
  std::vector<std::string> out;
  const std::string root = SamplesDir();
  if (root.empty()) return out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(fs::path(root) / sub, ec);
       !ec && it != fs::end(it); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string p = it->path().string();
    if (Lower(it->path().extension().string()) == ext) out.push_back(p);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace tessa::testing_support
