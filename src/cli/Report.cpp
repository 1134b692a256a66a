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

ordered_json OffsetJson(int64_t offset) {
  return offset >= 0 ? ordered_json(offset) : ordered_json(nullptr);
}

ordered_json CountsJson(const api::Counts& counts) {
  ordered_json j = ordered_json::object();
  for (const auto& [kind, n] : counts) j[kind] = n;
  return j;
}

ordered_json FormatJson(const std::string& input) {
  if (auto f = api::FormatOfPath(input)) return std::string(api::FormatName(*f));
  return nullptr;
}

const char* Status(const JobOutcome& out) {
  if (!out.attempted) return "not-attempted";
  return out.result.ok ? "converted" : "failed";
}

}  // namespace

ordered_json ReasonJson(const api::Reason& reason) {
  return {{"code", reason.code}, {"message", reason.message}, {"offset", OffsetJson(reason.offset)}};
}

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
    d["reason"] = r.reason && !r.ok ? ReasonJson(*r.reason) : ordered_json(nullptr);
    // What the drawing is: known once it was read, else from its name.
    d["format"] = r.version != 0 ? ordered_json(std::string(api::FormatName(r.format)))
                                 : FormatJson(job.input);
    d["version"] = r.version != 0 ? ordered_json(r.version) : ordered_json(nullptr);
    d["counts"] = CountsJson(r.counts);
    d["warnings"] = r.warnings;
    d["seconds"] = r.seconds;
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
  if (!info.ok) {
    j["reason"] = info.reason ? ReasonJson(*info.reason)
                              : ReasonJson(api::Reason{"internal", "failed without a reason", -1});
    return j;
  }
  j["format"] = std::string(api::FormatName(info.format));
  j["version"] = info.version;
  j["jw_cad_version"] = info.jwCadVersion;
  j["paper"] = info.paper;
  j["paper_width"] = info.paperWidth;
  j["paper_height"] = info.paperHeight;
  ordered_json groups = ordered_json::array();
  for (const api::GroupInfo& g : info.groups)
    groups.push_back({{"group", g.group}, {"name", g.name}, {"scale", g.scale}});
  j["groups"] = std::move(groups);
  j["counts"] = CountsJson(info.counts);
  ordered_json layers = ordered_json::array();
  for (const api::LayerInfo& l : info.layers)
    layers.push_back(
        {{"group", l.group}, {"layer", l.layer}, {"name", l.name}, {"entities", l.entities}});
  j["layers"] = std::move(layers);
  ordered_json blocks = ordered_json::array();
  for (const api::BlockInfo& b : info.blocks)
    blocks.push_back({{"name", b.name},
                      {"number", b.number},
                      {"entities", b.entities},
                      {"inserts", b.inserts}});
  j["blocks"] = std::move(blocks);
  j["images"] = info.images;
  j["extents"] = {{"min_x", info.extents.minX},
                  {"min_y", info.extents.minY},
                  {"max_x", info.extents.maxX},
                  {"max_y", info.extents.maxY}};
  j["warnings"] = info.warnings;
  return j;
}

std::string DumpJson(const ordered_json& j, int indent) {
  return j.dump(indent, ' ', false, ordered_json::error_handler_t::replace);
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
