// tessa: converts Jw_cad drawings to DXF and tells what a drawing holds.
// A thin front end: the command line is parsed here; option values, the
// settings file and every answer are the library API's.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <map>
#include <thread>

#include <CLI/CLI.hpp>

#include "cli/Cli.h"
#include "cli/DrawingOptions.h"
#include "cli/Preview.h"
#include "platform/Platform.h"

namespace tessa::cli {

namespace {

const char kUsage[] =
    "usage: tessa convert [options] INPUT...\n"
    "       tessa info [--json] [-r] INPUT...\n"
    "       tessa preview [options] DRAWING... [-o PATH]\n"
    "       tessa --help | --version\n";

const char kConvertFooter[] = R"(
INPUT is any mix of drawings (.jww .jws .jwc .jwk, any case) and folders; a
folder gives the drawings in it, and with -r those of its subfolders too.
Without -o each DXF file goes beside its drawing, named like it with ".dxf".
With -o and one drawing, PATH is the DXF file (or an existing folder, or a
path ending in "/", to put it in); with several inputs or a folder, PATH is
an output folder, made when missing, in which each drawing keeps its path
relative to the folder it came from.

An existing output is replaced only with --force; without it the drawing
fails and the file stays as it was. A drawing is never written over, not
even with --force: no output may be an input or have a drawing extension.

Values:
  --dxf r12          AutoCAD R12 (AC1009): read by nearly everything; layer
                     names keep only letters, digits, $, - and _
  --dxf r2000        AutoCAD 2000 (AC1015), the default
  --dxf r2007        AutoCAD 2007 (AC1021)
  --space model      the whole drawing in model space, at the scale of the
                     scale group
  --space paper      the scale group on paper space at full size; every
                     other scale in its own area of model space, shown on
                     the paper through a viewport of that scale
  --pen-colours screen   colours of the drawing's screen pens (JWW only)
  --pen-colours printer  colours of the drawing's printer pens (JWW only)
  --layer-names number       layers "1" to "256": group x 16 + layer + 1
  --layer-names layer        the drawing's own layer name
  --layer-names group-layer  group name "-" layer name ("GROUP-WALLS"); the
                     group name "-" the layer in hex ("GROUP-A") when the
                     layer has no name; the layer name alone when the group
                     has none
      Under every rule blanks are removed and signs DXF layer names cannot
      hold are dropped; a name left empty becomes group "-" layer in hex
      ("0-F"), and a repeated name gets "_1", "_2", ...
  --scale-group N    the layer group (0 to 15) whose scale is the drawing
                     scale (in paper space: the one drawn at full size)
  --points point     each point a DXF POINT
  --points circle    each point a circle of radius --point-size
  --points circles   a marker: two circles, radius --point-size and half
  --points cross     a marker: a circle with a cross through its centre
  --points diamond   a marker: the outline of a diamond
  --points filled    a marker: a filled diamond
  --points quarters  a marker: a disc of four filled quarters
  --point-size R     radius of point circles and markers, 0.001 to 1000

--settings FILE reads these from a 21-line settings file of the parent
application (lines 15 to 21); options given on the command line win.

Exit status: 0 every drawing converted, 1 any failed (the others still
convert), 2 the command line was wrong, 130 interrupted (Ctrl-C): the
drawings not yet started are not attempted, those under way finish.
)";

unsigned Cores() {
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? n : 1;
}

struct ConvertArgs {
  std::vector<std::string> inputs;
  std::string output;
  bool recursive = false;
  DrawingOptionArgs options;  // the library reads their texts
  std::string settings;
  bool force = false;
  unsigned jobs = Cores();
  std::string report;
  bool quiet = false;
};

struct ConvertOptions {
  CLI::Option* output;
  CLI::Option* settings;
  CLI::Option* report;
};

ConvertOptions AddConvert(CLI::App& cmd, ConvertArgs& a) {
  ConvertOptions o{};
  cmd.add_option("INPUT", a.inputs, "Drawings and folders of drawings")->required();
  o.output = cmd.add_option("-o,--output", a.output,
                            "DXF file for one drawing, else the output folder")
                 ->option_text("PATH");
  cmd.add_flag("-r,--recursive", a.recursive, "Take the drawings of subfolders too");
  AddDrawingOptions(cmd, a.options, api::AllOptions());
  o.settings = cmd.add_option("--settings", a.settings,
                              "Read the options from a parent-style settings file")
                   ->check(CLI::ExistingFile)
                   ->option_text("FILE");
  cmd.add_flag("-f,--force", a.force, "Replace existing outputs (never a drawing)");
  cmd.add_option("-j,--jobs", a.jobs,
                 "Conversions at once (default: the number of cores); from 2 on, one more\n"
                 "thread writes the files, syncing many at once")
      ->check(CLI::Range(1u, 1024u))
      ->option_text("N");
  o.report = cmd.add_option("--report", a.report, "Write a JSON report of every drawing to FILE")
                 ->option_text("FILE");
  cmd.add_flag("-q,--quiet", a.quiet, "No progress bar and no summary line (failures still show)");
  cmd.footer(kConvertFooter);
  return o;
}

// The settings file first, then the options given, which win.  Throws
// UsageError for a value outside its choices.
api::Options ResolveOptions(const ConvertArgs& a, const ConvertOptions& o) {
  api::Options opt;
  if (o.settings->count() > 0) opt = api::ReadSettingsFile(a.settings);
  return ApplyDrawingOptions(a.options, opt);
}

int RunConvert(const ConvertArgs& a, const ConvertOptions& o) {
  const auto start = std::chrono::steady_clock::now();
  RunSettings run;
  run.options = ResolveOptions(a, o);
  run.force = a.force;
  run.jobs = a.jobs;
  run.quiet = a.quiet;
  run.progress = tessa::platform::ErrorIsTerminal();
  if (o.report->count() > 0 && HasDrawingExtension(a.report))
    throw UsageError{"--report " + a.report + ": a drawing is never written over"};

  PlanRequest plan;
  plan.inputs = a.inputs;
  plan.recursive = a.recursive;
  if (o.output->count() > 0) plan.output = a.output;
  const std::vector<Job> jobs = PlanJobs(plan);
  if (o.report->count() > 0) {
    for (const Job& job : jobs)
      if (SamePath(a.report, job.input) || (!job.output.empty() && SamePath(a.report, job.output)))
        throw UsageError{"--report " + a.report + ": that is " + job.input +
                         (SamePath(a.report, job.input) ? "" : "'s output")};
  }

  CatchInterrupt();

  const std::vector<JobOutcome> outcomes = RunJobs(jobs, run);
  const Tally tally = Count(outcomes);

  int status = tally.failed == 0 ? kExitOk : kExitFailed;
  if (o.report->count() > 0) {
    std::string error;
    if (!WriteFileAtomically(a.report, api::DumpJson(ReportJson(jobs, outcomes), 2) + "\n", error)) {
      std::fprintf(stderr, "%s: cannot write the report: %s\n", a.report.c_str(), error.c_str());
      status = kExitFailed;
    }
  }
  // An interrupted run never passes for a complete one, even when the
  // interrupt came after the last drawing.
  const bool interrupted = Interrupted();
  if (interrupted) {
    std::fputs("tessa: interrupted\n", stderr);
    status = kExitInterrupted;
  }
  if (!a.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (interrupted)
      std::fprintf(stderr, "%zu converted, %zu failed, %zu not attempted in %.1f s\n",
                   tally.converted, tally.failed, tally.notAttempted, seconds);
    else
      std::fprintf(stderr, "%zu converted, %zu failed in %.1f s\n", tally.converted,
                   tally.failed, seconds);
  }
  return status;
}

void PrintUsageError(const std::string& message, const char* command) {
  std::fprintf(stderr, "tessa%s%s: %s\n%s", command ? " " : "", command ? command : "",
               message.c_str(), kUsage);
  std::fprintf(stderr, "Run 'tessa%s%s --help' for more.\n", command ? " " : "",
               command ? command : "");
}

// args: the command line, the program's name first.
int Main(const std::vector<std::string>& args) {
  CLI::App app{"tessa: converts Jw_cad drawings (JWW, JWS, JWC, JWK) to DXF files, "
               "and tells what a drawing holds."};
  app.name("tessa");
  app.set_version_flag("--version", std::string("tessa ") + TESSA_VERSION);
  app.require_subcommand(1);

  ConvertArgs convertArgs;
  CLI::App* convert = app.add_subcommand("convert", "Convert drawings to DXF files");
  const ConvertOptions convertOptions = AddConvert(*convert, convertArgs);

  std::vector<std::string> infoInputs;
  bool infoJson = false;
  bool infoRecursive = false;
  CLI::App* info = app.add_subcommand(
      "info", "Tell what drawings hold: format and version, paper, scales, entities, layers, "
              "blocks, images, extents, and what a conversion leaves out or mends");
  info->add_option("INPUT", infoInputs, "Drawings and folders of drawings to look at")->required();
  info->add_flag("--json", infoJson,
                 "One JSON object for one drawing, an array for several or a folder");
  info->add_flag("-r,--recursive", infoRecursive, "Take the drawings of subfolders too");

  const PreviewCommand preview(app);
  auto commandName = [&]() -> const char* {
    if (convert->parsed()) return "convert";
    if (info->parsed()) return "info";
    return preview.Parsed() ? "preview" : nullptr;
  };

  try {
    // CLI11 takes the arguments last first, without the program's name.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    if (!reversed.empty()) reversed.pop_back();
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version: on standard output
    PrintUsageError(e.what(), commandName());
    return kExitUsage;
  }

  try {
    if (convert->parsed()) return RunConvert(convertArgs, convertOptions);
    if (preview.Parsed()) return preview.Run();
    return RunInfo(infoInputs, infoJson, infoRecursive);
  } catch (const UsageError& e) {
    PrintUsageError(e.message, commandName());
    return kExitUsage;
  }
}

}  // namespace

}  // namespace tessa::cli

namespace {

int Run(const std::vector<std::string>& args) {
  // A file-size limit (ulimit -f) must end in a failed write, which removes
  // the partial output and reports the drawing, not in the end of the process.
  tessa::platform::IgnoreFileSizeLimitSignal();
  // Large blocks from the heap, as in tessaconv: memory one drawing frees
  // serves the next without the kernel clearing fresh pages.  Freed memory
  // stays for the next drawing instead of going back to the kernel after
  // each one: fewer page faults, which threads take in turn.
  tessa::platform::KeepLargeBlocksOnHeap(256 << 20, 16 << 20);
  try {
    return tessa::cli::Main(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessa: %s\n", e.what());
    return tessa::cli::kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  tessa::platform::UseUtf8Terminal();
  return Run(tessa::platform::CommandLineArguments(argc, argv));
}
