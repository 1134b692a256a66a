// The drawing options of the tessa commands as --NAME VALUE: the names,
// values and their checks are the library's (api::SetOption), so that every
// command takes and refuses the same texts.
#pragma once

#include <map>
#include <span>
#include <string>

#include <CLI/CLI.hpp>

#include "api/tessa_api.h"

namespace tessa::cli {

struct DrawingOptionArgs {
  std::map<api::Option, std::string> values;  // the text given, by option
  std::map<api::Option, CLI::Option*> given;
};

// Adds --NAME VALUE to cmd for each of `which`, with its help and values.
void AddDrawingOptions(CLI::App& cmd, DrawingOptionArgs& args, std::span<const api::Option> which);

// base with the options given set; throws UsageError naming the option for
// a value the library refuses.
api::Options ApplyDrawingOptions(const DrawingOptionArgs& args, api::Options base);

}  // namespace tessa::cli
