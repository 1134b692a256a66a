// `tessa preview`: an SVG picture of each drawing, from the model its
// conversion writes.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "api/tessa_api.h"

namespace tessa::cli {

class PreviewCommand {
 public:
  // Adds the subcommand "preview" to app.
  explicit PreviewCommand(CLI::App& app);
  bool Parsed() const { return cmd_->parsed(); }
  // The exit status; throws UsageError for outputs that cannot serve.
  int Run() const;

 private:
  api::Options Options() const;

  CLI::App* cmd_ = nullptr;
  std::vector<std::string> inputs_;
  std::string output_;
  CLI::Option* outputOption_ = nullptr;
  bool recursive_ = false;
  api::Space space_ = api::Space::Model;
  api::PenColours penColours_ = api::PenColours::Screen;
  int scaleGroup_ = 0;
  api::Points points_ = api::Points::Point;
  double pointSize_ = 0.001;
  bool force_ = false;
  unsigned jobs_ = 1;
  bool quiet_ = false;
};

}  // namespace tessa::cli
