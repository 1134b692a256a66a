#include "cli/Preview.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "cli/Cli.h"

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

Texts are drawn with "Noto Sans CJK JP" (Debian fonts-noto-cjk), "MS
Gothic" or "Hiragino Sans", whichever the viewer has.

Exit status: 0 every drawing drawn, 1 any failed, 2 the command line was
wrong.
)";

template <class E>
std::map<std::string, E> Names(std::initializer_list<std::pair<const char*, E>> list) {
  std::map<std::string, E> m;
  for (const auto& [name, value] : list) m.emplace(name, value);
  return m;
}

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
  c.add_option("--space", space_, "model (default) or paper")
      ->transform(CLI::CheckedTransformer(
          Names<api::Space>({{"model", api::Space::Model}, {"paper", api::Space::Paper}}),
          CLI::ignore_case))
      ->option_text("SPACE");
  c.add_option("--pen-colours", penColours_, "screen (default) or printer")
      ->transform(CLI::CheckedTransformer(
          Names<api::PenColours>(
              {{"screen", api::PenColours::Screen}, {"printer", api::PenColours::Printer}}),
          CLI::ignore_case))
      ->option_text("PENS");
  c.add_option("--scale-group", scaleGroup_,
               "Layer group 0..15 that gives the drawing scale (default 0)")
      ->check(CLI::Range(0, 15))
      ->option_text("N");
  c.add_option("--points", points_,
               "How points are drawn: point (default), circle, circles, cross, diamond, "
               "filled, quarters")
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
  c.add_option("--point-size", pointSize_,
               "Radius of point circles and markers, 0.001..1000 (default 0.001)")
      ->check(CLI::Range(0.001, 1000.0))
      ->option_text("R");
  c.add_flag("-f,--force", force_, "Replace existing pictures (never a drawing)");
  c.add_option("-j,--jobs", jobs_, "Drawings at once (default: the number of cores)")
      ->check(CLI::Range(1u, 1024u))
      ->option_text("N");
  c.add_flag("-q,--quiet", quiet_, "No progress bar and no summary line (failures still show)");
  c.footer(kPreviewFooter);
}

api::Options PreviewCommand::Options() const {
  api::Options o;
  o.space = space_;
  o.penColours = penColours_;
  o.scaleGroup = scaleGroup_;
  o.points = points_;
  o.pointSize = pointSize_;
  return o;
}

int PreviewCommand::Run() const {
  const auto start = std::chrono::steady_clock::now();
  PlanRequest plan;
  plan.inputs = inputs_;
  plan.recursive = recursive_;
  plan.extension = ".svg";
  if (outputOption_->count() > 0) plan.output = output_;
  const std::vector<Job> jobs = PlanJobs(plan);

  RunSettings run;
  run.options = Options();
  run.force = force_;
  run.jobs = jobs_;
  run.quiet = quiet_;
  run.progress = isatty(STDERR_FILENO) == 1;
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
