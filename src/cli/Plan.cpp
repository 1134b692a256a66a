// Which drawings a command line names and where each DXF file goes.
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "cli/Cli.h"

namespace tessa::cli {

namespace fs = std::filesystem;

namespace {

api::Reason MakeReason(std::string code, std::string message) {
  return api::Reason{std::move(code), std::move(message), -1};
}

Job Failed(const std::string& input, std::string code, std::string message) {
  return Job{input, "", MakeReason(std::move(code), std::move(message))};
}

bool IsDrawingFile(const fs::directory_entry& e) {
  std::error_code ec;
  return e.is_regular_file(ec) && api::FormatOfPath(e.path().filename().string()).has_value();
}

// The drawings in a folder (and its subfolders with recursive), sorted.
// A folder that cannot be read, or a subfolder that stops the walk, gives
// its sentence in error.
std::vector<fs::path> DrawingsIn(const fs::path& dir, bool recursive, std::string& error) {
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

// Whether a folder has drawings in a subfolder, to hint at -r.
bool SubfoldersHaveDrawings(const fs::path& dir) {
  std::string ignored;
  return !DrawingsIn(dir, true, ignored).empty();
}

fs::path DxfName(const fs::path& drawing, const std::string& extension) {
  fs::path name = drawing.filename();
  name.replace_extension(extension);
  return name;
}

bool EndsWithSeparator(const std::string& s) { return !s.empty() && s.back() == '/'; }

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
  fs::path abs = fs::absolute(path, ec);
  if (ec) abs = path;
  return abs.lexically_normal().string();
}

}  // namespace

bool SamePath(const std::string& a, const std::string& b) { return OutputKey(a) == OutputKey(b); }

bool HasDrawingExtension(const std::string& path) {
  return api::FormatOfPath(path).has_value();
}

std::vector<Job> PlanJobs(const PlanRequest& request) {
  std::error_code ec;
  bool anyFolder = false;
  for (const std::string& in : request.inputs)
    if (fs::is_directory(in, ec)) anyFolder = true;
  // One drawing named alone may have a file as its output; anything more
  // needs a folder.
  const bool toFolder = request.inputs.size() > 1 || anyFolder;

  std::optional<fs::path> outDir;
  std::optional<fs::path> outFile;
  if (request.output) {
    const std::string& o = *request.output;
    if (o.empty()) throw UsageError{"-o needs a path"};
    const bool isDir = fs::is_directory(o, ec);
    if (toFolder) {
      if (!isDir && fs::exists(o, ec))
        throw UsageError{"-o " + o +
                         ": several drawings or a folder need an output folder, and this is a file"};
      outDir = fs::path(o);
    } else if (isDir || EndsWithSeparator(o)) {
      outDir = fs::path(o);
    } else {
      outFile = fs::path(o);
    }
  }

  std::vector<Job> jobs;
  auto add = [&](const fs::path& drawing, const fs::path& base) {
    Job job{drawing.string(), "", std::nullopt};
    if (outFile)
      job.output = outFile->string();
    else if (outDir)
      job.output = MirroredOutput(*outDir, base, drawing, request.extension).string();
    else
      job.output = (drawing.parent_path() / DxfName(drawing, request.extension)).string();
    jobs.push_back(std::move(job));
  };

  for (const std::string& in : request.inputs) {
    const fs::path p(in);
    const fs::file_status st = fs::status(p, ec);
    if (!fs::exists(st)) {
      jobs.push_back(Failed(in, "not-found", "no such file or folder"));
    } else if (fs::is_directory(st)) {
      std::string error;
      std::vector<fs::path> drawings = DrawingsIn(p, request.recursive, error);
      if (!error.empty()) {
        jobs.push_back(Failed(in, "not-found", error));
      } else if (drawings.empty()) {
        std::string message = request.recursive ? "no drawings in this folder or its subfolders"
                                                : "no drawings in this folder";
        if (!request.recursive && SubfoldersHaveDrawings(p))
          message += " (its subfolders have some: add -r)";
        jobs.push_back(Failed(in, "no-drawings", message));
      }
      for (const fs::path& d : drawings) add(d, p);
    } else if (!fs::is_regular_file(st)) {
      // A pipe or device could stall the reader or never end.
      jobs.push_back(Failed(in, "not-a-drawing", "not a regular file"));
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
      job.early = MakeReason("output-clash",
                             "its output " + job.output + " is already the output of " +
                                 it->second->input);
  }
  for (Job& job : jobs)
    if (job.early && job.early->code == "output-clash") job.output.clear();
  return jobs;
}

}  // namespace tessa::cli
