// Runs a batch of conversions on a few threads of one process: a shared
// counter hands out the next job, every job's outcome has its own slot.
// With more than one converting thread, the converted drawings are put on
// disk by one more thread: syncing a file waits for the disk, and the
// converting threads go on meanwhile.  It takes what has gathered and
// waits for the disk once for all of it.

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "cli/Cli.h"
#include "cli/Progress.h"
#include "platform/Platform.h"

namespace tessa::cli {

namespace fs = std::filesystem;

namespace {

std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
  gInterrupted.store(true);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

api::Result Failure(api::ReasonCode code, std::string message = {}) {
  api::Result r;
  r.reason = api::MakeReason(code, std::move(message));
  return r;
}

// Makes the folder an output goes into; a sentence when it cannot.
std::optional<std::string> MakeOutputFolder(const std::string& output) {
  const fs::path folder = PathOf(output).parent_path();
  if (folder.empty()) return std::nullopt;
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return std::nullopt;
  fs::create_directories(folder, ec);
  if (ec) return "cannot create its folder: " + ec.message();
  return std::nullopt;
}

// The folder an output goes into, or its nearest ancestor that exists when
// the folder is still to be made.
fs::path ExistingFolderOf(const std::string& output) {
  fs::path folder = PathOf(output).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  while (!fs::exists(folder, ec)) {
    fs::path up = folder.parent_path();
    if (up.empty()) up = ".";
    if (up == folder) break;
    folder = std::move(up);
  }
  return folder;
}

// When the folder an output goes into takes no new file at all (a
// read-only file system, no permission), that is the cause for every
// drawing bound there: the sentence saying so, else nothing.
std::optional<std::string> UnwritableFolder(const std::string& output) {
  if (output.empty()) return std::nullopt;
  const fs::path folder = ExistingFolderOf(output);
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return std::nullopt;
  std::string why = platform::FolderRefusesFiles(TextOf(folder));
  if (why.empty()) return std::nullopt;
  if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
  std::string shown = TextOf(folder);
  if (shown.back() != '/' && shown.back() != static_cast<char>(fs::path::preferred_separator))
    shown += static_cast<char>(fs::path::preferred_separator);
  return "cannot write in " + shown + ": " + why;
}

// Says why a drawing failed.  An output folder that takes no files fails
// every drawing bound there: that is said once, and each of those drawings
// carries the sentence; any other reason gets a line of its own.
void TellFailure(Progress& progress, const Job& job, api::Reason& reason) {
  if (reason.code == api::ReasonCode::WriteFailed) {
    if (auto folder = UnwritableFolder(job.output)) {
      reason.message = *folder;
      progress.SayOnce(*folder);
      return;
    }
  }
  std::string message = reason.message;
  if (reason.code == api::ReasonCode::OutputExists) message += " (--force replaces it)";
  progress.Failure(std::string(api::SubjectOf(reason, job.input, job.output)), message);
}

// Drawings up to this size are converted into memory and put on disk by
// the writing thread; larger ones are written by their converting thread
// as they are laid out, so that memory stays bounded.
constexpr uintmax_t kInMemoryDrawingBytes = uintmax_t{8} << 20;

bool SmallDrawing(const std::string& input) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(PathOf(input), ec);
  return !ec && size <= kInMemoryDrawingBytes;
}

// A converted drawing on its way to the disk.
struct Converted {
  size_t index = 0;
  std::string dxf;
  api::Result result;
};

// The converted drawings between the converting threads and the writing
// one.  Push waits while the DXF texts waiting add up to more than a
// bound, so a fast converter cannot fill the memory; Take waits for work.
class WriteQueue {
 public:
  void Push(Converted&& c) {
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [&] { return items_.empty() || bytes_ + c.dxf.size() <= kMaxBytes; });
    bytes_ += c.dxf.size();
    items_.push_back(std::move(c));
    work_.notify_one();
  }
  // Everything waiting, up to `most` drawings; empty once closed and done.
  std::vector<Converted> Take(size_t most) {
    std::unique_lock<std::mutex> lock(mutex_);
    work_.wait(lock, [&] { return !items_.empty() || closed_; });
    std::vector<Converted> taken;
    while (!items_.empty() && taken.size() < most) {
      taken.push_back(std::move(items_.front()));
      items_.pop_front();
    }
    return taken;
  }
  // The memory of taken drawings is free again.
  void Release(size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_ -= bytes;
    room_.notify_all();
  }
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    work_.notify_all();
  }

 private:
  static constexpr size_t kMaxBytes = size_t{128} << 20;
  std::mutex mutex_;
  std::condition_variable work_, room_;
  std::deque<Converted> items_;
  size_t bytes_ = 0;
  bool closed_ = false;
};

// Drawings put on disk together at most, so that the files waiting for
// their names stay few (each holds a descriptor).
constexpr size_t kFilesPerSync = 64;

// Writes the converted drawings to their outputs; a failure replaces the
// drawing's result.  The time it took is shared out among them.
void PutOnDisk(std::vector<Converted>& taken, const std::vector<Job>& jobs, bool force) {
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::optional<api::Reason>> failed;
  try {
    std::vector<api::DxfFile> files;
    files.reserve(taken.size());
    for (const Converted& c : taken) files.push_back({jobs[c.index].output, c.dxf, force});
    failed = api::PutDxfFiles(files);
  } catch (const std::bad_alloc&) {
    failed.assign(taken.size(), api::MakeReason(api::ReasonCode::OutOfMemory));
  }
  const double share =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() /
      static_cast<double>(taken.size());
  for (size_t k = 0; k < taken.size(); ++k) {
    api::Result& r = taken[k].result;
    r.seconds += share;
    if (k < failed.size() && failed[k]) {
      r.ok = false;
      r.reason = std::move(failed[k]);
      r.written.clear();
    }
  }
}

// Converts a job; when `dxf` is given and the drawing is small, into it
// (inMemory then says so: its file is still to be written), else straight
// to its file.
api::Result ConvertOne(const Job& job, const RunSettings& settings, std::string* dxf,
                       bool& inMemory) {
  inMemory = false;
  if (job.early) {
    api::Result r;
    r.reason = job.early;
    return r;
  }
  if (auto error = MakeOutputFolder(job.output))
    return Failure(api::ReasonCode::WriteFailed, *error);
  try {
    if (settings.preview)
      return api::PreviewSvgFile(job.input, job.output, settings.options, settings.force);
    if (dxf && SmallDrawing(job.input)) {
      inMemory = true;
      return api::ConvertFileToMemory(job.input, job.output, settings.options, settings.force,
                                      *dxf);
    }
    return api::ConvertFile(job.input, job.output, settings.options, settings.force);
  } catch (const std::bad_alloc&) {
    return Failure(api::ReasonCode::OutOfMemory);
  } catch (const std::exception& e) {
    return Failure(api::ReasonCode::Internal, std::string("an unexpected failure: ") + e.what());
  } catch (...) {
    return Failure(api::ReasonCode::Internal);
  }
}

}  // namespace

void CatchInterrupt() {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() { return gInterrupted.load(); }

std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const RunSettings& settings) {
  // A drawing counts as not attempted until a thread takes it; after an
  // interrupt no thread takes another, and what was taken is finished.
  JobOutcome notAttempted;
  notAttempted.attempted = false;
  notAttempted.result = Failure(api::ReasonCode::Interrupted);
  std::vector<JobOutcome> outcomes(jobs.size(), notAttempted);
  Progress progress(jobs.size(), settings.progress && !settings.quiet && jobs.size() > 1);
  std::atomic<size_t> next{0};

  // A drawing's outcome, once it is on disk or has failed.
  auto finish = [&](size_t i, api::Result r) {
    if (!r.ok) {
      if (!r.reason) r.reason = api::MakeReason(api::ReasonCode::Internal);
      TellFailure(progress, jobs[i], *r.reason);
    }
    outcomes[i].result = std::move(r);
    progress.Finished(jobs[i].input);
  };

  const size_t threads = std::max<size_t>(1, std::min<size_t>(settings.jobs, jobs.size()));
  WriteQueue queue;
  std::optional<std::jthread> writer;
  try {
    // One thread does everything in order, one drawing after the other;
    // several converting threads get a writing one beside them.
    if (threads > 1) writer.emplace([&] {
      for (;;) {
        std::vector<Converted> taken = queue.Take(kFilesPerSync);
        if (taken.empty()) return;
        PutOnDisk(taken, jobs, settings.force);
        size_t bytes = 0;
        for (Converted& c : taken) {
          bytes += c.dxf.size();
          c.dxf = std::string();
        }
        queue.Release(bytes);
        for (Converted& c : taken) finish(c.index, std::move(c.result));
      }
    });
  } catch (const std::system_error&) {
    // No thread to be had: every drawing is written by its converting thread.
  }
  // However this ends, the writing thread runs out of work and is joined.
  struct CloseOnExit {
    WriteQueue& queue;
    ~CloseOnExit() { queue.Close(); }
  } closeOnExit{queue};

  auto work = [&] {
    while (!Interrupted()) {
      const size_t i = next++;
      if (i >= jobs.size()) return;
      outcomes[i].attempted = true;
      std::string dxf;
      bool inMemory = false;
      api::Result r = ConvertOne(jobs[i], settings, writer ? &dxf : nullptr, inMemory);
      if (r.ok && inMemory)
        queue.Push(Converted{i, std::move(dxf), std::move(r)});
      else
        finish(i, std::move(r));
    }
  };

  {
    std::vector<std::jthread> pool;
    for (size_t t = 1; t < threads; ++t) {
      try {
        pool.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // fewer threads do the same work, only later
      }
    }
    work();
  }  // the pool joins here
  queue.Close();
  writer.reset();  // joins once every converted drawing is on disk
  // An input that failed in planning has failed, interrupted or not.
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (outcomes[i].attempted || !jobs[i].early) continue;
    outcomes[i].attempted = true;
    bool inMemory = false;
    finish(i, ConvertOne(jobs[i], settings, nullptr, inMemory));
  }
  progress.Clear();
  return outcomes;
}

}  // namespace tessa::cli
