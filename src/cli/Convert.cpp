// Runs a batch of conversions on a few threads of one process: a shared
// counter hands out the next job, every job's outcome has its own slot.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>
#include <thread>

#include "cli/Cli.h"
#include "cli/Progress.h"

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

api::Result Failure(std::string code, std::string message) {
  api::Result r;
  r.reason = api::Reason{std::move(code), std::move(message), -1};
  return r;
}

// Makes the folder an output goes into; a sentence when it cannot.
std::optional<std::string> MakeOutputFolder(const std::string& output) {
  const fs::path folder = fs::path(output).parent_path();
  if (folder.empty()) return std::nullopt;
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return std::nullopt;
  fs::create_directories(folder, ec);
  if (ec) return "cannot create the output folder " + folder.string() + ": " + ec.message();
  return std::nullopt;
}

api::Result ConvertOne(const Job& job, const RunSettings& settings) {
  if (job.early) {
    api::Result r;
    r.reason = job.early;
    return r;
  }
  if (auto error = MakeOutputFolder(job.output)) return Failure("write-failed", *error);
  try {
    return api::ConvertFile(job.input, job.output, settings.options, settings.force);
  } catch (const std::bad_alloc&) {
    return Failure("out-of-memory", "not enough memory to convert this drawing");
  } catch (const std::exception& e) {
    return Failure("internal", std::string("internal error: ") + e.what());
  } catch (...) {
    return Failure("internal", "internal error");
  }
}

}  // namespace

void CatchInterrupt() {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() { return gInterrupted.load(); }

std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const RunSettings& settings) {
  std::vector<JobOutcome> outcomes(jobs.size());
  Progress progress(jobs.size(), settings.progress && !settings.quiet && jobs.size() > 1);
  std::atomic<size_t> next{0};

  auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      const Job& job = jobs[i];
      if (Interrupted()) {
        // Not started: counted as failed, without a line each.
        outcomes[i].result = Failure("interrupted", "not converted: the run was interrupted");
        continue;
      }
      progress.Started(job.input);
      api::Result r = ConvertOne(job, settings);
      if (!r.ok) {
        if (!r.reason) r.reason = api::Reason{"internal", "failed without a reason", -1};
        std::string message = r.reason->message;
        if (r.reason->code == "output-exists") message += " (--force replaces it)";
        progress.Failure(job.input, message);
      }
      outcomes[i].result = std::move(r);
      progress.Finished();
    }
  };

  const size_t threads = std::max<size_t>(1, std::min<size_t>(settings.jobs, jobs.size()));
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
  progress.Clear();
  return outcomes;
}

}  // namespace tessa::cli
