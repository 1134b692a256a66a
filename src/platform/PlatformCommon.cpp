#include "platform/PlatformCommon.h"

#include <random>

#include "platform/Platform.h"

namespace tessa::platform {

namespace {

// Keeps the temporary name within the usual 255-byte limit of a file name
// without splitting a UTF-8 sequence.
std::string ShortenName(const std::string& base) {
  constexpr size_t kMax = 200;
  if (base.size() <= kMax) return base;
  size_t n = kMax;
  while (n > 0 && (static_cast<unsigned char>(base[n]) & 0xC0) == 0x80) --n;
  return base.substr(0, n);
}

}  // namespace

bool ValidPath(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

bool IsPathSeparator(char c) { return Separators().find(c) != std::string_view::npos; }

TPathParts SplitPath(const std::string& path) {
  const size_t sep = path.find_last_of(Separators());
  if (sep == std::string::npos) return {".", path};
  return {sep == 0 ? path.substr(0, 1) : path.substr(0, sep), path.substr(sep + 1)};
}

std::string RandomName(std::string pattern) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // One generator per thread: conversions on several threads name files
  // at the same time.
  thread_local std::mt19937 rng{std::random_device{}()};
  const size_t x = pattern.rfind("XXXXXX");
  for (size_t i = 0; x != std::string::npos && i < 6; ++i)
    pattern[x + i] = kChars[rng() % (sizeof kChars - 1)];
  return pattern;
}

std::string TempPattern(const std::string& dst) {
  const TPathParts parts = SplitPath(dst);
  const bool root = parts.folder.size() == 1 && IsPathSeparator(parts.folder[0]);
  const std::string dir = root ? parts.folder : parts.folder + PathSeparator();
  return dir + "." + ShortenName(parts.base) + ".XXXXXX.tmp";
}

}  // namespace tessa::platform
