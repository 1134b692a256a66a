#include "cli/Progress.h"

#include <cstdio>

#include "platform/Platform.h"

namespace tessa::cli {

namespace {

int TerminalColumns() { return platform::TerminalColumns(80); }

// The last part of a path that fits in width terminal cells.  UTF-8 lead
// bytes are counted as one cell (wide characters as two), and the cut never
// falls inside a character.
std::string TailThatFits(const std::string& s, int width) {
  if (width <= 0) return {};
  int cells = 0;
  size_t start = s.size();
  while (start > 0) {
    size_t lead = start - 1;
    while (lead > 0 && (static_cast<unsigned char>(s[lead]) & 0xC0) == 0x80) --lead;
    const unsigned char c = static_cast<unsigned char>(s[lead]);
    const int w = c >= 0xE3 ? 2 : 1;  // CJK and most wide characters start at E3
    if (cells + w > width - 1) return "…" + s.substr(start);
    cells += w;
    start = lead;
  }
  return s;
}

}  // namespace

Progress::Progress(size_t total, bool bar)
    : total_(total), bar_(bar), start_(std::chrono::steady_clock::now()) {}

void Progress::Finished(const std::string& input) {
  if (!bar_) return;
  std::lock_guard lock(mutex_);
  ++done_;
  current_ = input;
  DrawLocked(done_ == total_);
}

void Progress::Failure(const std::string& input, const std::string& message) {
  std::lock_guard lock(mutex_);
  ClearLocked();
  std::fprintf(stderr, "%s: %s\n", input.c_str(), message.c_str());
  std::fflush(stderr);
  if (bar_) DrawLocked(true);
}

void Progress::SayOnce(const std::string& message) {
  std::lock_guard lock(mutex_);
  if (!said_.insert(message).second) return;
  ClearLocked();
  std::fprintf(stderr, "tessa: %s\n", message.c_str());
  std::fflush(stderr);
  if (bar_) DrawLocked(true);
}

void Progress::Clear() {
  std::lock_guard lock(mutex_);
  ClearLocked();
}

void Progress::ClearLocked() {
  if (!shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

void Progress::DrawLocked(bool force) {
  using namespace std::chrono;
  const auto now = steady_clock::now();
  // A terminal redrawn for every small drawing would cost more than the
  // drawings; a few times a second is enough to watch.
  if (!force && shown_ && now - lastDraw_ < milliseconds(100)) return;
  lastDraw_ = now;

  const double seconds = duration<double>(now - start_).count();
  const double rate = seconds > 0 ? done_ / seconds : 0;
  constexpr int kBarCells = 24;
  const int filled = total_ ? static_cast<int>(kBarCells * done_ / total_) : kBarCells;
  std::string line = "[";
  for (int i = 0; i < kBarCells; ++i) line += i < filled ? "#" : "-";
  char counts[96];
  std::snprintf(counts, sizeof counts, "] %zu/%zu  %.1f drawings/s  ", done_, total_, rate);
  line += counts;
  const int room = TerminalColumns() - static_cast<int>(line.size()) - 1;
  line += TailThatFits(current_, room);
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace tessa::cli
