// `tessa preview`: an SVG picture of each drawing, from the model its
// conversion writes.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "api/tessa_api.h"
#include "cli/DrawingOptions.h"

namespace tessa::cli {

class PreviewCommand {
 public:
  // Adds the subcommand "preview" to app.
  explicit PreviewCommand(CLI::App& app);
  bool Parsed() const { return cmd_->parsed(); }
  // The exit status; throws UsageError for outputs that cannot serve.
  int Run() const;

 private:
  CLI::App* cmd_ = nullptr;
  std::vector<std::string> inputs_;
  std::string output_;
  CLI::Option* outputOption_ = nullptr;
  bool recursive_ = false;
  DrawingOptionArgs options_;
  bool force_ = false;
  unsigned jobs_ = 1;
  bool quiet_ = false;
};

}  // namespace tessa::cli
