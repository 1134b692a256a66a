// Options by name: the names of every option and of its values, parsed and
// given back the same way for every front end, and the parent's settings
// file read into them.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

#include "api/tessa_api.h"
#include "driver/Unit1.h"
#include "util/Func_2Number.h"

namespace tessa::api {

namespace {

constexpr std::array<Option, 7> kOptions{Option::Dxf,        Option::Space,  Option::PenColours,
                                         Option::LayerNames, Option::ScaleGroup, Option::Points,
                                         Option::PointSize};
constexpr std::array<std::string_view, 7> kOptionNames{
    "dxf", "space", "pen-colours", "layer-names", "scale-group", "points", "point-size"};

// The names of a named option's values, in the order of their numbers.
std::span<const std::string_view> ValueNames(Option option) {
  static constexpr std::string_view kDxf[] = {"r12", "r2000", "r2007"};
  static constexpr std::string_view kSpace[] = {"model", "paper"};
  static constexpr std::string_view kPens[] = {"screen", "printer"};
  static constexpr std::string_view kLayers[] = {"number", "layer", "group-layer"};
  static constexpr std::string_view kPoints[] = {"point",   "circle", "circles", "cross",
                                                 "diamond", "filled", "quarters"};
  switch (option) {
    case Option::Dxf: return kDxf;
    case Option::Space: return kSpace;
    case Option::PenColours: return kPens;
    case Option::LayerNames: return kLayers;
    case Option::Points: return kPoints;
    case Option::ScaleGroup:
    case Option::PointSize: break;
  }
  return {};
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto fold = [](char c) {
             return c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
           };
           return fold(x) == fold(y);
         });
}

// The number of an option's value, and the value of a number.
int NumberOf(const Options& o, Option option) {
  switch (option) {
    case Option::Dxf: return static_cast<int>(o.dxf);
    case Option::Space: return static_cast<int>(o.space);
    case Option::PenColours: return static_cast<int>(o.penColours);
    case Option::LayerNames: return static_cast<int>(o.layerNames);
    case Option::Points: return static_cast<int>(o.points);
    case Option::ScaleGroup: return o.scaleGroup;
    case Option::PointSize: break;
  }
  return 0;
}

void SetNumber(Options& o, Option option, int n) {
  switch (option) {
    case Option::Dxf: o.dxf = static_cast<DxfVersion>(n); break;
    case Option::Space: o.space = static_cast<Space>(n); break;
    case Option::PenColours: o.penColours = static_cast<PenColours>(n); break;
    case Option::LayerNames: o.layerNames = static_cast<LayerNames>(n); break;
    case Option::Points: o.points = static_cast<Points>(n); break;
    case Option::ScaleGroup: o.scaleGroup = n; break;
    case Option::PointSize: break;
  }
}

Reason NotOneOf(std::string_view value, std::span<const std::string_view> names) {
  std::string m(value);
  m += " is not one of ";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) m += ", ";
    m += names[i];
  }
  return MakeReason(ReasonCode::BadOption, std::move(m));
}

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

}  // namespace

std::span<const Option> AllOptions() { return kOptions; }

std::string_view OptionName(Option option) { return kOptionNames[static_cast<size_t>(option)]; }

std::optional<Option> OptionFromName(std::string_view name) {
  for (Option o : kOptions)
    if (SameName(name, OptionName(o))) return o;
  return std::nullopt;
}

std::vector<std::string_view> OptionValueNames(Option option) {
  const auto names = ValueNames(option);
  return {names.begin(), names.end()};
}

std::optional<Reason> SetOption(Options& options, Option option, std::string_view value) {
  if (option == Option::ScaleGroup) {
    int n = -1;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < 0 || n > 15)
      return MakeReason(ReasonCode::BadOption,
                        std::string(value) + " is not a layer group from 0 to 15");
    options.scaleGroup = n;
    return std::nullopt;
  }
  if (option == Option::PointSize) {
    double r = 0;
    const size_t read = CharsToFloat(value.data(), value.data() + value.size(), r);
    if (read == 0 || read != value.size() || !(r >= 0.001 && r <= 1000))
      return MakeReason(ReasonCode::BadOption,
                        std::string(value) + " is not a size from 0.001 to 1000");
    options.pointSize = r;
    return std::nullopt;
  }
  const auto names = ValueNames(option);
  for (size_t i = 0; i < names.size(); ++i) {
    if (!SameName(value, names[i])) continue;
    SetNumber(options, option, static_cast<int>(i));
    return std::nullopt;
  }
  return NotOneOf(value, names);
}

std::string OptionValueText(const Options& options, Option option) {
  if (option == Option::PointSize) return Number(options.pointSize);
  const int n = NumberOf(options, option);
  const auto names = ValueNames(option);
  if (n >= 0 && static_cast<size_t>(n) < names.size()) return std::string(names[static_cast<size_t>(n)]);
  return std::to_string(n);
}

std::string_view DxfVersionName(DxfVersion v) {
  const auto names = ValueNames(Option::Dxf);
  const auto n = static_cast<size_t>(v);
  return n < names.size() ? names[n] : names[0];
}

Options ReadSettingsFile(const std::string& path) {
  const TSettingsOptions s = ReadSettingsOptions(path);
  Options o;
  o.dxf = static_cast<DxfVersion>(s.cb2);
  o.penColours = static_cast<PenColours>(s.cb3);
  o.layerNames = static_cast<LayerNames>(s.cb4);
  o.space = static_cast<Space>(s.cb5);
  o.scaleGroup = s.cb6;
  o.points = static_cast<Points>(s.cb7);
  o.pointSize = s.pointSize;
  return o;
}

}  // namespace tessa::api
