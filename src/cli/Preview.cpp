#include "cli/Preview.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/Cli.h"
#include "cli/DrawingOptions.h"
#include "platform/Platform.h"

namespace tessa::cli {

namespace {

const char kPreviewFooter[] = R"(
Draws each drawing as the DXF conversion with the same options writes it:
the same lines, arcs, texts, fills, points, blocks and colours (colour 7
dark on white paper). DRAWING is any mix of drawings and folders, as for
`tessa convert`; without -o each picture goes beside its drawing, named like
it with ".svg"; with -o and one drawing PATH is the SVG file (or a folder to
put it in), else an output folder in which each drawing keeps its path.

  --space model   the drawing in model space, the picture just around it
  --space paper   the paper layout: the sheet at its size in millimetres
                  (it prints at scale), each viewport showing its part of
                  model space

A picture for people who have no SVG viewer at hand, a PNG 2000 pixels
across (rsvg-convert is in Debian's librsvg2-bin):

  rsvg-convert --width 2000 --background-color white plan.svg -o plan.png

Texts are drawn with "Noto Sans Mono CJK JP" (Debian fonts-noto-cjk), "MS
Gothic", "Noto Sans CJK JP" or "Hiragino Sans", whichever the viewer has.

Exit status: 0 every drawing drawn, 1 any failed, 2 the command line was
wrong.
)";

// The options of `tessa convert` that change what the DXF file draws (the
// DXF version too: R12 has no line weights and no second layout); layer
// names do not.
constexpr api::Option kDrawn[] = {api::Option::Dxf,        api::Option::Space,
                                  api::Option::PenColours, api::Option::ScaleGroup,
                                  api::Option::Points,     api::Option::PointSize};

}  // namespace

PreviewCommand::PreviewCommand(CLI::App& app) {
  cmd_ = app.add_subcommand("preview", "Draw drawings as SVG pictures of what their DXF holds");
  CLI::App& c = *cmd_;
  const unsigned cores = std::thread::hardware_concurrency();
  jobs_ = cores > 0 ? cores : 1;
  c.add_option("DRAWING", inputs_, "Drawings and folders of drawings")->required();
  outputOption_ =
      c.add_option("-o,--output", output_, "SVG file for one drawing, else the output folder")
          ->option_text("PATH");
  c.add_flag("-r,--recursive", recursive_, "Take the drawings of subfolders too");
  AddDrawingOptions(c, options_, kDrawn);
  c.add_flag("-f,--force", force_, "Replace existing pictures (never a drawing)");
  c.add_option("-j,--jobs", jobs_, "Drawings at once (default: the number of cores)")
      ->check(CLI::Range(1u, 1024u))
      ->option_text("N");
  c.add_flag("-q,--quiet", quiet_, "No progress bar and no summary line (failures still show)");
  c.footer(kPreviewFooter);
}

int PreviewCommand::Run() const {
  const auto start = std::chrono::steady_clock::now();
  RunSettings run;
  run.options = ApplyDrawingOptions(options_, api::Options{});
  PlanRequest plan;
  plan.inputs = inputs_;
  plan.recursive = recursive_;
  plan.extension = ".svg";
  if (outputOption_->count() > 0) plan.output = output_;
  const std::vector<Job> jobs = PlanJobs(plan);

  run.force = force_;
  run.jobs = jobs_;
  run.quiet = quiet_;
  run.progress = tessa::platform::ErrorIsTerminal();
  run.preview = true;
  CatchInterrupt();
  const std::vector<JobOutcome> outcomes = RunJobs(jobs, run);
  size_t drawn = 0;
  for (const JobOutcome& out : outcomes) drawn += out.result.ok ? 1 : 0;
  const size_t failed = outcomes.size() - drawn;
  if (Interrupted()) std::fputs("tessa: interrupted\n", stderr);
  if (!quiet_) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "%zu drawn, %zu failed in %.1f s\n", drawn, failed, seconds);
  }
  return failed == 0 ? kExitOk : kExitFailed;
}

}  // namespace tessa::cli
