// A private folder for one test: made fresh under the temporary folder
// ($TMPDIR, else /tmp), removed with everything in it when the object goes.
#pragma once

#include <string>
#include <vector>

namespace tessa::testing_support {

class TTempFolder {
 public:
  // The folder is <tmp>/<prefix>XXXXXX; Path() is empty when it could not
  // be made.
  explicit TTempFolder(const std::string& prefix = "tessa-test-");
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

// The folder for temporary files: $TMPDIR when set, else /tmp.
std::string TempRoot();

}  // namespace tessa::testing_support

namespace tessa {
using testing_support::TTempFolder;
}  // namespace tessa
