// The library's answers as JSON values, for front ends that build larger
// documents around them (a batch report, a web page).  tessa_api.h gives
// the same as text.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "api/tessa_api.h"

namespace tessa::api {

nlohmann::ordered_json ToJson(const Reason& reason);
nlohmann::ordered_json ToJson(const Result& result);
nlohmann::ordered_json ToJson(const Info& info);

// JSON text that survives names that are not valid UTF-8 (those bytes
// become U+FFFD); indent -1 gives one line.
std::string DumpJson(const nlohmann::ordered_json& j, int indent = -1);

}  // namespace tessa::api
