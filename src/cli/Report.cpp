// The JSON the command line writes: the batch report and `info --json`.
// Field names follow the API's structs, in snake_case.
#include <string>

#include "cli/Cli.h"
#include "platform/Platform.h"

namespace tessa::cli {

using nlohmann::ordered_json;

namespace {

ordered_json FormatJson(const std::string& input) {
  if (auto f = api::FormatOfPath(input)) return std::string(api::FormatName(*f));
  return nullptr;
}

const char* Status(const JobOutcome& out) {
  if (!out.attempted) return "not-attempted";
  return out.result.ok ? "converted" : "failed";
}

}  // namespace

Tally Count(const std::vector<JobOutcome>& outcomes) {
  Tally t;
  for (const JobOutcome& out : outcomes) {
    if (!out.attempted)
      ++t.notAttempted;
    else if (out.result.ok)
      ++t.converted;
    else
      ++t.failed;
  }
  return t;
}

ordered_json ReportJson(const std::vector<Job>& jobs, const std::vector<JobOutcome>& outcomes) {
  ordered_json drawings = ordered_json::array();
  for (size_t i = 0; i < jobs.size(); ++i) {
    const Job& job = jobs[i];
    const api::Result& r = outcomes[i].result;
    ordered_json d;
    d["input"] = job.input;
    d["output"] = job.output.empty() ? ordered_json(nullptr) : ordered_json(job.output);
    d["status"] = Status(outcomes[i]);
    const ordered_json result = api::ToJson(r);
    for (const auto& [key, value] : result.items())
      if (key != "ok") d[key] = value;
    // A drawing never read is known by its name.
    if (d["format"].is_null()) d["format"] = FormatJson(job.input);
    drawings.push_back(std::move(d));
  }
  const Tally tally = Count(outcomes);
  ordered_json report;
  report["drawings"] = std::move(drawings);
  report["converted"] = tally.converted;
  report["failed"] = tally.failed;
  report["not_attempted"] = tally.notAttempted;
  return report;
}

ordered_json InfoJson(const std::string& input, const api::Info& info) {
  ordered_json j;
  j["input"] = input;
  const ordered_json fields = api::ToJson(info);
  for (const auto& [key, value] : fields.items()) j[key] = value;
  return j;
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  platform::TAtomicFile file;
  if (file.Open(path) && file.Write(text.data(), text.size()) && file.Commit()) return true;
  error = file.Error();
  return false;
}

}  // namespace tessa::cli
