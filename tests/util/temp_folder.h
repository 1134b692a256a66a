// A private folder for one test: made fresh under /tmp, removed with
// everything in it when the object goes.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tessa {

class TTempFolder {
 public:
  // The folder is /tmp/<prefix>XXXXXX; Path() is empty when it could not
  // be made.
  explicit TTempFolder(const std::string& prefix) {
    std::string t = "/tmp/" + prefix + "XXXXXX";
    if (::mkdtemp(t.data())) path_ = t;
  }
  ~TTempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tessa
