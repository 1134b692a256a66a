#include "web/WebCalls.h"

#include <optional>

#include <nlohmann/json.hpp>

#include "api/tessa_api.h"
#include "api/tessa_json.h"

namespace tessa::web {

namespace {

using nlohmann::ordered_json;
using api::MakeReason;
using api::ReasonCode;

// The options of a JSON object ({"dxf": "r2007", "point_size": 2.5});
// a reason (bad-option) for a name or value the library does not take.
std::optional<api::Reason> ReadOptions(std::string_view text, api::Options& options) {
  const ordered_json j = ordered_json::parse(text, nullptr, false);
  if (j.is_discarded() || !(j.is_object() || j.is_null()))
    return MakeReason(ReasonCode::BadOption, "the options are not a JSON object");
  if (j.is_null()) return std::nullopt;
  for (const auto& [key, value] : j.items()) {
    const auto option = api::OptionFromName(key);
    if (!option) return MakeReason(ReasonCode::BadOption, key + " is not an option");
    std::string given;
    if (value.is_string()) {
      given = value.get<std::string>();
    } else if (value.is_number()) {
      given = value.dump();
    } else {
      return MakeReason(ReasonCode::BadOption, key + ": " + value.dump() + " is not a value");
    }
    if (auto bad = api::SetOption(options, *option, given)) {
      bad->message = key + ": " + bad->message;
      return bad;
    }
  }
  return std::nullopt;
}

// A result that failed before the library was asked.
api::Result Refused(api::Reason reason) {
  api::Result r;
  r.reason = std::move(reason);
  return r;
}

std::optional<api::Reason> FormatOf(std::string_view name, api::Format& format) {
  const auto f = api::FormatOfPath(name);
  if (!f) return MakeReason(ReasonCode::UnknownFormat);
  format = *f;
  return std::nullopt;
}

// The object `tessa info --json` prints: the drawing's name, then what
// inspection told.
ordered_json InfoObject(std::string_view name, const api::Info& info) {
  ordered_json j;
  j["input"] = std::string(name);
  const ordered_json fields = api::ToJson(info);
  for (const auto& [key, value] : fields.items()) j[key] = value;
  return j;
}

// info: where the call puts what it learnt of the drawing, if it was asked
// to (added to the answer as "info" once the drawing was looked at).
template <class Call>
TAnswer Run(std::string_view name, std::string_view optionsText, Call&& call,
            const api::Info* info = nullptr) {
  TAnswer answer;
  api::Options options;
  api::Format format = api::Format::Jww;
  std::optional<api::Reason> refused = ReadOptions(optionsText, options);
  if (!refused) refused = FormatOf(name, format);
  const api::Result r = refused ? Refused(*refused) : call(format, options, answer.bytes);
  if (!r.ok) answer.bytes.clear();
  ordered_json j = api::ToJson(r);
  if (info && (info->ok || info->reason)) j["info"] = InfoObject(name, *info);
  answer.json = api::DumpJson(j);
  return answer;
}

}  // namespace

TAnswer Convert(std::string_view name, std::span<const uint8_t> data, std::string_view options,
                double writtenMs, bool withInfo) {
  api::Info info;
  return Run(
      name, options,
      [&](api::Format f, const api::Options& o, std::string& out) {
        const auto dates = writtenMs >= 0
                               ? std::optional<int64_t>(static_cast<int64_t>(writtenMs))
                               : std::nullopt;
        api::Products products;
        products.dxf = &out;
        if (withInfo) products.info = &info;
        return api::ConvertBytes(data, f, o, products, dates);
      },
      withInfo ? &info : nullptr);
}

TAnswer Preview(std::string_view name, std::span<const uint8_t> data, std::string_view options) {
  return Run(name, options, [&](api::Format f, const api::Options& o, std::string& out) {
    return api::PreviewSvg(data, f, o, out);
  });
}

TAnswer Info(std::string_view name, std::span<const uint8_t> data) {
  api::Info info;
  api::Format format = api::Format::Jww;
  if (auto refused = FormatOf(name, format)) {
    info.reason = std::move(refused);
  } else {
    info = api::InspectBytes(data, format);
  }
  return TAnswer{{}, api::DumpJson(InfoObject(name, info))};
}

std::string OptionsJson() {
  const api::Options defaults;
  ordered_json all = ordered_json::array();
  for (const api::Option o : api::AllOptions()) {
    ordered_json j;
    std::string name(api::OptionName(o));
    for (char& c : name)
      if (c == '-') c = '_';
    j["name"] = name;
    const auto values = api::OptionValueNames(o);
    if (!values.empty()) {
      j["values"] = ordered_json::array();
      for (std::string_view v : values) j["values"].push_back(std::string(v));
    } else if (o == api::Option::ScaleGroup) {
      j["min"] = 0;
      j["max"] = 15;
    } else {
      j["min"] = 0.001;
      j["max"] = 1000;
    }
    j["default"] = api::OptionValueText(defaults, o);
    all.push_back(std::move(j));
  }
  return api::DumpJson(all);
}

}  // namespace tessa::web
