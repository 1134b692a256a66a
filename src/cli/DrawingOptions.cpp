#include "cli/DrawingOptions.h"

#include "cli/Cli.h"

namespace tessa::cli {

namespace {

// The option's help: what it does and its values, the default first.
std::string OptionHelp(api::Option option) {
  static const std::map<api::Option, const char*> kWhat = {
      {api::Option::Dxf, "DXF version"},
      {api::Option::Space, "Space the drawing goes to"},
      {api::Option::PenColours, "Pens of a JWW drawing that give the colours"},
      {api::Option::LayerNames, "How layers are named"},
      {api::Option::ScaleGroup, "Layer group 0..15 that gives the drawing scale (default 0)"},
      {api::Option::Points, "How points are written"},
      {api::Option::PointSize, "Radius of point circles and markers, 0.001..1000 (default 0.001)"},
  };
  std::string help = kWhat.at(option);
  const auto names = api::OptionValueNames(option);
  if (names.empty()) return help;
  help += ": " + api::OptionValueText(api::Options{}, option) + " (default)";
  for (std::string_view name : names)
    if (name != api::OptionValueText(api::Options{}, option)) help += ", " + std::string(name);
  return help;
}

const char* Placeholder(api::Option option) {
  switch (option) {
    case api::Option::Dxf: return "VERSION";
    case api::Option::Space: return "SPACE";
    case api::Option::PenColours: return "PENS";
    case api::Option::LayerNames: return "RULE";
    case api::Option::ScaleGroup: return "N";
    case api::Option::Points: return "FORM";
    case api::Option::PointSize: return "R";
  }
  return "VALUE";
}

}  // namespace

void AddDrawingOptions(CLI::App& cmd, DrawingOptionArgs& args,
                       std::span<const api::Option> which) {
  for (api::Option option : which)
    args.given[option] = cmd.add_option("--" + std::string(api::OptionName(option)),
                                        args.values[option], OptionHelp(option))
                             ->option_text(Placeholder(option));
}

api::Options ApplyDrawingOptions(const DrawingOptionArgs& args, api::Options base) {
  for (const auto& [option, given] : args.given) {
    if (given->count() == 0) continue;
    if (auto bad = api::SetOption(base, option, args.values.at(option)))
      throw UsageError{"--" + std::string(api::OptionName(option)) + ": " + bad->message};
  }
  return base;
}

}  // namespace tessa::cli
