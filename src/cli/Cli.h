// The pieces of the tessa command line: planning which drawing goes where,
// running the conversions, showing progress, and the JSON it writes.  All
// conversion and inspection is done by the library API; nothing here reads a
// drawing itself.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "api/tessa_api.h"
#include "api/tessa_json.h"

namespace tessa::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Ctrl-C or SIGTERM: 128 + SIGINT, as shells report an interrupted program.
constexpr int kExitInterrupted = 130;

// A mistake in the command line found after parsing (an output that cannot
// serve, a settings file that is not there).  main prints it with the usage.
struct UsageError {
  std::string message;
};

// One drawing to convert, or one input that already failed while planning
// (missing, no drawings in a folder, two drawings for one output).
struct Job {
  std::string input;
  std::string output;                // empty when the job failed in planning
  std::optional<api::Reason> early;  // set when it failed in planning
};

struct PlanRequest {
  std::vector<std::string> inputs;
  std::optional<std::string> output;  // -o
  bool recursive = false;
  std::string extension = ".dxf";  // of the outputs named after their drawings
};

// The jobs for the inputs in their order (a folder's drawings sorted by
// path).  Throws UsageError when -o cannot be what the inputs need.
std::vector<Job> PlanJobs(const PlanRequest& request);

// The drawings in a folder (and its subfolders with recursive), sorted.
// A folder that cannot be read, or a subfolder that stops the walk, gives
// its sentence in error.
std::vector<std::filesystem::path> DrawingsOf(const std::filesystem::path& dir, bool recursive,
                                              std::string& error);
// Why a folder gives no drawings (with a hint at -r when its subfolders have some).
api::Reason NoDrawings(const std::filesystem::path& folder, bool recursive);

struct RunSettings {
  api::Options options;
  bool force = false;
  unsigned jobs = 1;
  bool progress = false;  // draw the progress bar (standard error is a terminal)
  bool quiet = false;
  bool preview = false;   // an SVG picture of each drawing instead of its DXF
};

struct JobOutcome {
  api::Result result;
  bool attempted = true;  // false: the run was interrupted before it came
};

// How a batch ended: each drawing counts in one of the three.
struct Tally {
  size_t converted = 0;
  size_t failed = 0;
  size_t notAttempted = 0;
};
Tally Count(const std::vector<JobOutcome>& outcomes);

// Converts every job on settings.jobs threads.  Prints "INPUT: message" for
// each failure as it happens; the outcomes are in the jobs' order.
std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const RunSettings& settings);

// The report of a batch: {"drawings": [...], "converted": N, "failed": N,
// "not_attempted": N}.
nlohmann::ordered_json ReportJson(const std::vector<Job>& jobs,
                                  const std::vector<JobOutcome>& outcomes);
// What `info --json` gives for one drawing: its input, then the library's
// fields.
nlohmann::ordered_json InfoJson(const std::string& input, const api::Info& info);

// Writes text to path through a temporary file beside it; false with a
// sentence in error when it could not.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);

// `tessa info`: text or JSON on standard output; the exit status.  A
// folder gives its drawings, as in convert.
int RunInfo(const std::vector<std::string>& inputs, bool json, bool recursive);

// A path with a drawing extension, any case.
bool HasDrawingExtension(const std::string& path);
// Whether two spellings name the same path (made absolute and normal; links
// are not followed).
bool SamePath(const std::string& a, const std::string& b);

// Paths are UTF-8 text throughout; std::filesystem is told so, since on
// Windows it would read narrow text in the system's code page.
std::filesystem::path PathOf(const std::string& utf8);
std::string TextOf(const std::filesystem::path& path);

// After the first interrupt (Ctrl-C) no further drawing starts; those that
// run finish, so no temporary file is left.  A second one ends the process.
void CatchInterrupt();
bool Interrupted();

}  // namespace tessa::cli
