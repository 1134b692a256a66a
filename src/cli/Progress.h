// Everything a batch prints on standard error while it runs: failure lines
// and, on a terminal, a one-line progress bar.  Several worker threads call
// it; one mutex keeps their lines whole.
#pragma once

#include <chrono>
#include <mutex>
#include <set>
#include <string>

namespace tessa::cli {

class Progress {
 public:
  // bar: draw the bar (standard error is a terminal and not quiet).
  Progress(size_t total, bool bar);

  // One more drawing done (written or failed); the bar names it, so that
  // the count and the name shown always go together.
  void Finished(const std::string& input);
  // "INPUT: message" on its own line, the bar drawn again below it.
  void Failure(const std::string& input, const std::string& message);
  // "tessa: message" on its own line, only the first time this message
  // comes: a cause shared by many drawings is said once.
  void SayOnce(const std::string& message);
  // Removes the bar, leaving the terminal as it was.
  void Clear();

 private:
  void DrawLocked(bool force);
  void ClearLocked();

  std::mutex mutex_;
  const size_t total_;
  const bool bar_;
  size_t done_ = 0;
  std::string current_;
  std::set<std::string> said_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace tessa::cli
