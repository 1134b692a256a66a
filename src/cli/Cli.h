// The pieces of the tessa command line: planning which drawing goes where,
// running the conversions, showing progress, and the JSON it writes.  All
// conversion and inspection is done by the library API; nothing here reads a
// drawing itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "api/tessa_api.h"

namespace tessa::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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
};

// Converts every job on settings.jobs threads.  Prints "INPUT: message" for
// each failure as it happens; the outcomes are in the jobs' order.
std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const RunSettings& settings);

// The report of a batch: {"drawings": [...], "converted": N, "failed": N}.
nlohmann::ordered_json ReportJson(const std::vector<Job>& jobs,
                                  const std::vector<JobOutcome>& outcomes);
// What `info --json` gives for one drawing.
nlohmann::ordered_json InfoJson(const std::string& input, const api::Info& info);
nlohmann::ordered_json ReasonJson(const api::Reason& reason);

// Writes text to path through a temporary file beside it; false with a
// sentence in error when it could not.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);

// JSON text that survives file names and drawing strings that are not valid
// UTF-8 (those bytes become U+FFFD).
std::string DumpJson(const nlohmann::ordered_json& j, int indent);

// `tessa info`: text or JSON on standard output; the exit status.
int RunInfo(const std::vector<std::string>& inputs, bool json);

// A path with a drawing extension, any case.
bool HasDrawingExtension(const std::string& path);
// Whether two spellings name the same path (made absolute and normal; links
// are not followed).
bool SamePath(const std::string& a, const std::string& b);

// After the first interrupt (Ctrl-C) no further drawing starts; those that
// run finish, so no temporary file is left.  A second one ends the process.
void CatchInterrupt();
bool Interrupted();

}  // namespace tessa::cli
