// The library's answers as JSON: one shape for every front end.
#include "api/tessa_json.h"

namespace tessa::api {

using nlohmann::ordered_json;

namespace {

ordered_json CountsJson(const std::map<std::string, int64_t>& counts) {
  ordered_json j = ordered_json::object();
  for (const auto& [kind, n] : counts) j[kind] = n;
  return j;
}

ordered_json ReasonOrNull(const std::optional<Reason>& reason, bool ok) {
  if (ok) return nullptr;
  return ToJson(reason.value_or(MakeReason(ReasonCode::Internal)));
}

}  // namespace

ordered_json ToJson(const Reason& reason) {
  return {{"code", std::string(ReasonName(reason.code))},
          {"message", reason.message},
          {"offset", reason.offset >= 0 ? ordered_json(reason.offset) : ordered_json(nullptr)}};
}

ordered_json ToJson(const Result& r) {
  ordered_json j;
  j["ok"] = r.ok;
  j["reason"] = ReasonOrNull(r.reason, r.ok);
  j["format"] = r.read ? ordered_json(std::string(FormatName(r.format))) : ordered_json(nullptr);
  j["version"] = r.read ? ordered_json(r.version) : ordered_json(nullptr);
  j["written"] = CountsJson(r.written);
  j["warnings"] = r.warnings;
  j["seconds"] = r.seconds;
  return j;
}

ordered_json ToJson(const Info& info) {
  ordered_json j;
  if (!info.ok) {
    j["reason"] = ReasonOrNull(info.reason, false);
    return j;
  }
  j["format"] = std::string(FormatName(info.format));
  j["version"] = info.version;
  j["jw_cad_version"] = info.jwCadVersion;
  j["paper"] = info.paper;
  j["paper_width"] = info.paperWidth;
  j["paper_height"] = info.paperHeight;
  ordered_json groups = ordered_json::array();
  for (const GroupInfo& g : info.groups)
    groups.push_back({{"group", g.group}, {"name", g.name}, {"scale", g.scale}});
  j["groups"] = std::move(groups);
  j["entities"] = CountsJson(info.entities);
  ordered_json layers = ordered_json::array();
  for (const LayerInfo& l : info.layers)
    layers.push_back(
        {{"group", l.group}, {"layer", l.layer}, {"name", l.name}, {"entities", l.entities}});
  j["layers"] = std::move(layers);
  ordered_json blocks = ordered_json::array();
  for (const BlockInfo& b : info.blocks)
    blocks.push_back(
        {{"name", b.name}, {"number", b.number}, {"entities", b.entities}, {"inserts", b.inserts}});
  j["blocks"] = std::move(blocks);
  j["images"] = info.images;
  j["extents"] = {{"min_x", info.extents.minX},
                  {"min_y", info.extents.minY},
                  {"max_x", info.extents.maxX},
                  {"max_y", info.extents.maxY}};
  j["warnings"] = info.warnings;
  return j;
}

std::string DumpJson(const ordered_json& j, int indent) {
  return j.dump(indent, ' ', false, ordered_json::error_handler_t::replace);
}

std::string ReasonJson(const Reason& reason) { return DumpJson(ToJson(reason)); }
std::string ResultJson(const Result& result) { return DumpJson(ToJson(result)); }
std::string InfoJson(const Info& info) { return DumpJson(ToJson(info)); }

}  // namespace tessa::api
