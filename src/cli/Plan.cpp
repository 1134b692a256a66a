// Which drawings a command line names and where each DXF file goes.
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "cli/Cli.h"

namespace tessa::cli {

namespace fs = std::filesystem;

namespace {

Job Failed(const std::string& input, api::Reason reason) {
  return Job{input, "", std::move(reason)};
}

bool IsDrawingFile(const fs::directory_entry& e) {
  std::error_code ec;
  return e.is_regular_file(ec) && api::FormatOfPath(TextOf(e.path().filename())).has_value();
}

}  // namespace

std::vector<fs::path> DrawingsOf(const fs::path& dir, bool recursive, std::string& error) {
  std::vector<fs::path> found;
  std::error_code ec;
  const auto opts = fs::directory_options::skip_permission_denied;
  if (recursive) {
    fs::recursive_directory_iterator it(dir, opts, ec), end;
    for (; !ec && it != end; it.increment(ec))
      if (IsDrawingFile(*it)) found.push_back(it->path());
  } else {
    fs::directory_iterator it(dir, opts, ec), end;
    for (; !ec && it != end; it.increment(ec))
      if (IsDrawingFile(*it)) found.push_back(it->path());
  }
  if (ec) error = "cannot read this folder: " + ec.message();
  std::sort(found.begin(), found.end());
  return found;
}

namespace {

// Whether a folder has drawings in a subfolder, to hint at -r.
bool SubfoldersHaveDrawings(const fs::path& dir) {
  std::string ignored;
  return !DrawingsOf(dir, true, ignored).empty();
}

fs::path DxfName(const fs::path& drawing, const std::string& extension) {
  fs::path name = drawing.filename();
  name.replace_extension(extension);
  return name;
}

bool EndsWithSeparator(const std::string& s) {
  return !s.empty() && (s.back() == '/' || s.back() == static_cast<char>(fs::path::preferred_separator));
}

// Where a drawing found in folder base goes inside the output folder out:
// the same path relative to base.
fs::path MirroredOutput(const fs::path& out, const fs::path& base, const fs::path& drawing,
                        const std::string& extension) {
  fs::path rel = drawing.lexically_relative(base);
  if (rel.empty()) rel = drawing.filename();
  rel.replace_extension(extension);
  return out / rel;
}

// A key under which two spellings of one output path compare equal.
std::string OutputKey(const std::string& path) {
  std::error_code ec;
  fs::path abs = fs::absolute(PathOf(path), ec);
  if (ec) abs = PathOf(path);
  return TextOf(abs.lexically_normal());
}

}  // namespace

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string TextOf(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

api::Reason NoDrawings(const fs::path& folder, bool recursive) {
  std::string message = recursive ? "no drawings in this folder or its subfolders"
                                  : "no drawings in this folder";
  if (!recursive && SubfoldersHaveDrawings(folder))
    message += " (its subfolders have some: add -r)";
  return api::MakeReason(api::ReasonCode::NoDrawings, std::move(message));
}

bool SamePath(const std::string& a, const std::string& b) { return OutputKey(a) == OutputKey(b); }

bool HasDrawingExtension(const std::string& path) {
  return api::FormatOfPath(path).has_value();
}

std::vector<Job> PlanJobs(const PlanRequest& request) {
  std::error_code ec;
  bool anyFolder = false;
  for (const std::string& in : request.inputs)
    if (fs::is_directory(PathOf(in), ec)) anyFolder = true;
  // One drawing named alone may have a file as its output; anything more
  // needs a folder.
  const bool toFolder = request.inputs.size() > 1 || anyFolder;

  std::optional<fs::path> outDir;
  std::optional<fs::path> outFile;
  if (request.output) {
    const std::string& o = *request.output;
    if (o.empty()) throw UsageError{"-o needs a path"};
    const bool isDir = fs::is_directory(PathOf(o), ec);
    if (toFolder) {
      if (!isDir && fs::exists(PathOf(o), ec))
        throw UsageError{"-o " + o +
                         ": several drawings or a folder need an output folder, and this is a file"};
      outDir = PathOf(o);
    } else if (isDir || EndsWithSeparator(o)) {
      outDir = PathOf(o);
    } else {
      outFile = PathOf(o);
    }
  }

  std::vector<Job> jobs;
  auto add = [&](const fs::path& drawing, const fs::path& base) {
    Job job{TextOf(drawing), "", std::nullopt};
    if (outFile)
      job.output = TextOf(*outFile);
    else if (outDir)
      job.output = TextOf(MirroredOutput(*outDir, base, drawing, request.extension));
    else
      job.output = TextOf(drawing.parent_path() / DxfName(drawing, request.extension));
    jobs.push_back(std::move(job));
  };

  for (const std::string& in : request.inputs) {
    const fs::path p = PathOf(in);
    if (fs::is_directory(p, ec)) {
      std::string error;
      std::vector<fs::path> drawings = DrawingsOf(p, request.recursive, error);
      if (!error.empty()) {
        jobs.push_back(Failed(in, api::MakeReason(api::ReasonCode::NotFound, error)));
      } else if (drawings.empty()) {
        jobs.push_back(Failed(in, NoDrawings(p, request.recursive)));
      }
      for (const fs::path& d : drawings) add(d, p);
    } else if (auto missing = api::CheckDrawingFile(in)) {
      // Nothing there, or a pipe or device that could stall the reader.
      jobs.push_back(Failed(in, std::move(*missing)));
    } else {
      add(p, p.parent_path());
    }
  }

  // Two drawings for one output (plan.jww and plan.jws, or the same drawing
  // named twice): the first keeps it, the others fail rather than race.
  std::map<std::string, const Job*> owner;
  for (Job& job : jobs) {
    if (job.early) continue;
    auto [it, inserted] = owner.emplace(OutputKey(job.output), &job);
    if (!inserted)
      job.early = api::MakeReason(api::ReasonCode::OutputClash,
                                  "its output is already that of " + it->second->input);
  }
  for (Job& job : jobs)
    if (job.early && job.early->code == api::ReasonCode::OutputClash) job.output.clear();
  return jobs;
}

}  // namespace tessa::cli
