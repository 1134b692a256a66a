// Path and name helpers that both implementations share.
#pragma once

#include <string>
#include <string_view>

namespace tessa::platform {

// The separators this system accepts between folder and name.
std::string_view Separators();

struct TPathParts {
  std::string folder;  // "." when the path names no folder
  std::string base;    // empty when the path ends in a separator
};
TPathParts SplitPath(const std::string& path);

// A path a system call can take: not empty, no NUL inside.
bool ValidPath(const std::string& path);

// The pattern with its last run of six X's replaced by random letters and
// digits.
std::string RandomName(std::string pattern);

}  // namespace tessa::platform
