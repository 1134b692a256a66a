// An environment variable set (or removed) for one scope; what was there
// comes back when the scope ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tessa::testing_support {

// Sets name to value, or removes it for nullopt.
inline void SetEnv(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name, value ? value->c_str() : "");
#else
  if (value) ::setenv(name, value->c_str(), 1);
  else ::unsetenv(name);
#endif
}

class TEnvScope {
 public:
  TEnvScope(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    SetEnv(name, value);
  }
  ~TEnvScope() { SetEnv(name_, old_); }
  TEnvScope(const TEnvScope&) = delete;
  TEnvScope& operator=(const TEnvScope&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace tessa::testing_support
