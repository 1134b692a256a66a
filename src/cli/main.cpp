// tessa: converts Jw_cad drawings to DXF and tells what a drawing holds.
// A thin front end: the command line is parsed here, the work is the
// library API's (and the settings file is read by the converter's own code).
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <map>
#include <thread>

#include <CLI/CLI.hpp>

#include "cli/Cli.h"
#include "driver/Unit1.h"
#include "platform/Platform.h"

namespace tessa::cli {

namespace {

const char kUsage[] =
    "usage: tessa convert [options] INPUT...\n"
    "       tessa info [--json] DRAWING...\n"
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
convert), 2 the command line was wrong.
)";

template <class E>
std::map<std::string, E> Names(std::initializer_list<std::pair<const char*, E>> list) {
  std::map<std::string, E> m;
  for (const auto& [name, value] : list) m.emplace(name, value);
  return m;
}

unsigned Cores() {
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? n : 1;
}

// The options of a settings file as the API names them.  cb2, cb3 and cb4
// pass unchecked, as the converter itself passes them.
api::Options OptionsOfSettingsFile(const std::string& path) {
  const TSettingsOptions s = ReadSettingsOptions(path);
  api::Options o;
  o.dxf = static_cast<api::DxfVersion>(s.cb2);
  o.penColours = static_cast<api::PenColours>(s.cb3);
  o.layerNames = static_cast<api::LayerNames>(s.cb4);
  o.space = static_cast<api::Space>(s.cb5);
  o.scaleGroup = s.cb6;
  o.points = static_cast<api::Points>(s.cb7);
  o.pointSize = s.pointSize;
  return o;
}

struct ConvertArgs {
  std::vector<std::string> inputs;
  std::string output;
  bool recursive = false;
  api::DxfVersion dxf = api::DxfVersion::R2000;
  api::Space space = api::Space::Model;
  api::PenColours penColours = api::PenColours::Screen;
  api::LayerNames layerNames = api::LayerNames::Number;
  int scaleGroup = 0;
  api::Points points = api::Points::Point;
  double pointSize = 0.001;
  std::string settings;
  bool force = false;
  unsigned jobs = Cores();
  std::string report;
  bool quiet = false;
};

struct ConvertOptions {
  CLI::Option* output;
  CLI::Option* dxf;
  CLI::Option* space;
  CLI::Option* penColours;
  CLI::Option* layerNames;
  CLI::Option* scaleGroup;
  CLI::Option* points;
  CLI::Option* pointSize;
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
  o.dxf = cmd.add_option("--dxf", a.dxf, "DXF version: r12, r2000 (default), r2007")
              ->transform(CLI::CheckedTransformer(
                  Names<api::DxfVersion>({{"r12", api::DxfVersion::R12},
                                          {"r2000", api::DxfVersion::R2000},
                                          {"r2007", api::DxfVersion::R2007}}),
                  CLI::ignore_case))
              ->option_text("VERSION");
  o.space = cmd.add_option("--space", a.space, "model (default) or paper")
                ->transform(CLI::CheckedTransformer(
                    Names<api::Space>({{"model", api::Space::Model}, {"paper", api::Space::Paper}}),
                    CLI::ignore_case))
                ->option_text("SPACE");
  o.penColours = cmd.add_option("--pen-colours", a.penColours, "screen (default) or printer")
                     ->transform(CLI::CheckedTransformer(
                         Names<api::PenColours>({{"screen", api::PenColours::Screen},
                                                 {"printer", api::PenColours::Printer}}),
                         CLI::ignore_case))
                     ->option_text("PENS");
  o.layerNames = cmd.add_option("--layer-names", a.layerNames,
                                "How layers are named: number (default), layer, group-layer")
                     ->transform(CLI::CheckedTransformer(
                         Names<api::LayerNames>({{"number", api::LayerNames::Number},
                                                 {"layer", api::LayerNames::Layer},
                                                 {"group-layer", api::LayerNames::GroupLayer}}),
                         CLI::ignore_case))
                     ->option_text("RULE");
  o.scaleGroup = cmd.add_option("--scale-group", a.scaleGroup,
                                "Layer group 0..15 that gives the drawing scale (default 0)")
                     ->check(CLI::Range(0, 15))
                     ->option_text("N");
  o.points = cmd.add_option("--points", a.points,
                            "How points are written: point (default), circle, circles, cross, "
                            "diamond, filled, quarters")
                 ->transform(CLI::CheckedTransformer(
                     Names<api::Points>({{"point", api::Points::Point},
                                         {"circle", api::Points::Circle},
                                         {"circles", api::Points::Circles},
                                         {"cross", api::Points::Cross},
                                         {"diamond", api::Points::Diamond},
                                         {"filled", api::Points::Filled},
                                         {"quarters", api::Points::Quarters}}),
                     CLI::ignore_case))
                 ->option_text("FORM");
  o.pointSize = cmd.add_option("--point-size", a.pointSize,
                               "Radius of point circles and markers, 0.001..1000 (default 0.001)")
                    ->check(CLI::Range(0.001, 1000.0))
                    ->option_text("R");
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

api::Options ResolveOptions(const ConvertArgs& a, const ConvertOptions& o) {
  api::Options opt;
  if (o.settings->count() > 0) opt = OptionsOfSettingsFile(a.settings);
  if (o.dxf->count() > 0) opt.dxf = a.dxf;
  if (o.space->count() > 0) opt.space = a.space;
  if (o.penColours->count() > 0) opt.penColours = a.penColours;
  if (o.layerNames->count() > 0) opt.layerNames = a.layerNames;
  if (o.scaleGroup->count() > 0) opt.scaleGroup = a.scaleGroup;
  if (o.points->count() > 0) opt.points = a.points;
  if (o.pointSize->count() > 0) opt.pointSize = a.pointSize;
  return opt;
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
  size_t converted = 0;
  for (const JobOutcome& out : outcomes) converted += out.result.ok ? 1 : 0;
  const size_t failed = outcomes.size() - converted;

  int status = failed == 0 ? kExitOk : kExitFailed;
  if (o.report->count() > 0) {
    std::string error;
    if (!WriteFileAtomically(a.report, DumpJson(ReportJson(jobs, outcomes), 2) + "\n", error)) {
      std::fprintf(stderr, "%s: cannot write the report: %s\n", a.report.c_str(), error.c_str());
      status = kExitFailed;
    }
  }
  if (Interrupted()) std::fputs("tessa: interrupted\n", stderr);
  if (!a.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%zu converted, %zu failed in %.1f s\n", converted, failed, seconds);
  }
  return status;
}

void PrintUsageError(const std::string& message, const char* command) {
  std::fprintf(stderr, "tessa%s%s: %s\n%s", command ? " " : "", command ? command : "",
               message.c_str(), kUsage);
  std::fprintf(stderr, "Run 'tessa%s%s --help' for more.\n", command ? " " : "",
               command ? command : "");
}

int Main(int argc, char** argv) {
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
  CLI::App* info = app.add_subcommand(
      "info", "Tell what drawings hold: format and version, paper, scales, entities, layers, "
              "blocks, images, extents, and what a conversion leaves out or mends");
  info->add_option("DRAWING", infoInputs, "Drawings to look at")->required();
  info->add_flag("--json", infoJson, "One JSON object per drawing (an array for several)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version: on standard output
    const char* command = convert->parsed() ? "convert" : info->parsed() ? "info" : nullptr;
    PrintUsageError(e.what(), command);
    return kExitUsage;
  }

  try {
    if (convert->parsed()) return RunConvert(convertArgs, convertOptions);
    return RunInfo(infoInputs, infoJson);
  } catch (const UsageError& e) {
    PrintUsageError(e.message, convert->parsed() ? "convert" : "info");
    return kExitUsage;
  }
}

}  // namespace

}  // namespace tessa::cli

int main(int argc, char** argv) {
  // A file-size limit (ulimit -f) must end in a failed write, which removes
  // the partial output and reports the drawing, not in the end of the process.
  tessa::platform::IgnoreFileSizeLimitSignal();
  // Large blocks from the heap, as in tessaconv: memory one drawing frees
  // serves the next without the kernel clearing fresh pages.  Freed memory
  // stays for the next drawing instead of going back to the kernel after
  // each one: fewer page faults, which threads take in turn.
  tessa::platform::KeepLargeBlocksOnHeap(256 << 20, 16 << 20);
  try {
    std::vector<std::string> args = tessa::platform::CommandLineArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& arg : args) pointers.push_back(arg.data());
    return tessa::cli::Main(static_cast<int>(pointers.size()), pointers.data());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessa: %s\n", e.what());
    return tessa::cli::kExitFailed;
  }
}
