// `tessa info`: what a drawing holds, before converting it.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "cli/Cli.h"

namespace tessa::cli {

namespace {

std::string Number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// A drawing scale as people write it: 1:100, or 1:0.5 for enlargements.
std::string Scale(double s) { return "1:" + Number(s); }

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

void PrintInfo(std::ostream& out, const std::string& input, const api::Info& info) {
  out << input << "\n";
  out << "  format      " << api::FormatName(info.format) << ", file version " << info.version;
  if (!info.jwCadVersion.empty()) out << " (" << info.jwCadVersion << ")";
  out << "\n";
  out << "  paper       " << info.paper << " (" << Number(info.paperWidth) << " x "
      << Number(info.paperHeight) << " mm)\n";
  out << "  extents     (" << Number(info.extents.minX) << ", " << Number(info.extents.minY)
      << ") to (" << Number(info.extents.maxX) << ", " << Number(info.extents.maxY) << ")\n";

  out << "  groups      ";
  if (info.groups.empty()) out << "none";
  for (size_t i = 0; i < info.groups.size(); ++i) {
    const api::GroupInfo& g = info.groups[i];
    if (i) out << "\n              ";
    out << "group " << g.group << " " << Scale(g.scale);
    if (!g.name.empty()) out << " " << Quoted(g.name);
  }
  out << "\n";

  out << "  entities    ";
  if (info.entities.empty()) out << "none";
  bool first = true;
  for (const auto& [kind, n] : info.entities) {
    out << (first ? "" : ", ") << kind << " " << n;
    first = false;
  }
  out << "\n";

  out << "  layers      ";
  if (info.layers.empty()) out << "none";
  for (size_t i = 0; i < info.layers.size(); ++i) {
    const api::LayerInfo& l = info.layers[i];
    if (i) out << "\n              ";
    out << "group " << l.group << " layer " << l.layer;
    if (!l.name.empty()) out << " " << Quoted(l.name);
    out << ": " << l.entities << (l.entities == 1 ? " entity" : " entities");
  }
  out << "\n";

  out << "  blocks      ";
  if (info.blocks.empty()) out << "none";
  for (size_t i = 0; i < info.blocks.size(); ++i) {
    const api::BlockInfo& b = info.blocks[i];
    if (i) out << "\n              ";
    out << Quoted(b.name) << " (number " << b.number << "): " << b.entities
        << (b.entities == 1 ? " entity" : " entities") << ", placed " << b.inserts
        << (b.inserts == 1 ? " time" : " times");
  }
  out << "\n";

  out << "  images      ";
  if (info.images.empty()) out << "none";
  for (size_t i = 0; i < info.images.size(); ++i)
    out << (i ? "\n              " : "") << info.images[i];
  out << "\n";

  out << "  conversion  ";
  if (info.warnings.empty()) out << "leaves nothing out";
  for (size_t i = 0; i < info.warnings.size(); ++i)
    out << (i ? "\n              " : "") << info.warnings[i];
  out << "\n";
}

// The drawings an input names: itself, or a folder's; a folder without
// any gives its reason.
std::vector<std::string> DrawingsNamed(const std::string& input, bool recursive,
                                       std::optional<api::Reason>& failed) {
  std::error_code ec;
  if (!std::filesystem::is_directory(PathOf(input), ec)) return {input};
  std::string error;
  std::vector<std::string> drawings;
  for (const auto& p : DrawingsOf(PathOf(input), recursive, error)) drawings.push_back(TextOf(p));
  if (!error.empty())
    failed = api::MakeReason(api::ReasonCode::NotFound, error);
  else if (drawings.empty())
    failed = NoDrawings(PathOf(input), recursive);
  return drawings;
}

}  // namespace

int RunInfo(const std::vector<std::string>& inputs, bool json, bool recursive) {
  int status = kExitOk;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  std::ostringstream text;
  size_t shown = 0;
  auto show = [&](const std::string& input, const api::Info& info) {
    if (!info.ok) {
      status = kExitFailed;
      const api::Reason reason = info.reason.value_or(api::MakeReason(api::ReasonCode::Internal));
      std::fprintf(stderr, "%s\n", api::Describe(reason, input).c_str());
    }
    ++shown;
    if (json) {
      all.push_back(InfoJson(input, info));
    } else if (info.ok) {
      if (text.tellp() > 0) text << "\n";
      PrintInfo(text, input, info);
    }
  };
  for (const std::string& input : inputs) {
    std::optional<api::Reason> failed;
    for (const std::string& drawing : DrawingsNamed(input, recursive, failed))
      show(drawing, api::Inspect(drawing));
    if (failed) {
      api::Info none;
      none.reason = std::move(failed);
      show(input, none);
    }
  }
  std::error_code ec;
  const bool one = shown == 1 && inputs.size() == 1 && !std::filesystem::is_directory(PathOf(inputs[0]), ec);
  if (json)
    std::cout << api::DumpJson(one ? all[0] : all, 2) << "\n";
  else
    std::cout << text.str();
  std::cout.flush();
  if (!std::cout) return kExitFailed;
  return status;
}

}  // namespace tessa::cli
