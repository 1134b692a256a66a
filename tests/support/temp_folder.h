// A private folder for one test: made fresh under the temporary folder
// (the system's: $TMPDIR or /tmp, %TEMP% on Windows), removed with
// everything in it when the object goes.  Paths are UTF-8.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessa::testing_support {

class TTempFolder {
 public:
  // The folder is <root>/<prefix>XXXXXX, the root TempRoot() unless given;
  // Path() is empty when it could not be made.
  explicit TTempFolder(const std::string& prefix = "tessa-test-", const std::string& root = {});
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path with a trailing "/".
  std::string Dir() const { return path_ + "/"; }
  // Names of the entries directly inside, sorted, without "." and "..".
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

// The system's folder for temporary files: $TMPDIR when set, else /tmp;
// on Windows %TMP% or %TEMP%.
std::string TempRoot();

// std::filesystem's path for a UTF-8 name (Windows' runtime would read a
// plain string in the system's code page), and back.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8(const std::filesystem::path& p);

}  // namespace tessa::testing_support

namespace tessa {
using testing_support::TTempFolder;
}  // namespace tessa
