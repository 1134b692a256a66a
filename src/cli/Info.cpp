// `tessa info`: what a drawing holds, before converting it.
#include <cstdio>
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
  if (info.counts.empty()) out << "none";
  bool first = true;
  for (const auto& [kind, n] : info.counts) {
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

api::Info InspectSafely(const std::string& path) {
  try {
    return api::Inspect(path);
  } catch (const std::bad_alloc&) {
    api::Info i;
    i.reason = api::Reason{"out-of-memory", "not enough memory to read this drawing", -1};
    return i;
  } catch (const std::exception& e) {
    api::Info i;
    i.reason = api::Reason{"internal", std::string("internal error: ") + e.what(), -1};
    return i;
  }
}

}  // namespace

int RunInfo(const std::vector<std::string>& inputs, bool json) {
  int status = kExitOk;
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  std::ostringstream text;
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string& input = inputs[i];
    api::Info info = InspectSafely(input);
    if (!info.ok) {
      status = kExitFailed;
      const std::string message = info.reason ? info.reason->message : "failed without a reason";
      std::fprintf(stderr, "%s: %s\n", input.c_str(), message.c_str());
    }
    if (json) {
      all.push_back(InfoJson(input, info));
    } else if (info.ok) {
      if (text.tellp() > 0) text << "\n";
      PrintInfo(text, input, info);
    }
  }
  if (json)
    std::cout << DumpJson(inputs.size() == 1 ? all[0] : all, 2) << "\n";
  else
    std::cout << text.str();
  std::cout.flush();
  if (!std::cout) return kExitFailed;
  return status;
}

}  // namespace tessa::cli
