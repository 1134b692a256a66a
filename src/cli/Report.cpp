// The JSON the command line writes: the batch report and `info --json`.
// Field names follow the API's structs, in snake_case.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "cli/Cli.h"

namespace tessa::cli {

namespace fs = std::filesystem;
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
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  const char* p = text.data();
  size_t left = text.size();
  bool ok = true;
  while (ok && left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (!ok) error = std::strerror(errno);
  // Readable like any file this user creates, not only by the owner as
  // mkstemp leaves it.
  const mode_t mask = umask(0);
  umask(mask);
  if (ok && fchmod(fd, 0666 & ~mask) != 0) {
    ok = false;
    error = std::strerror(errno);
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = std::strerror(errno);
  }
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace tessa::cli
