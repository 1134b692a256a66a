// Inside the library: one conversion run with the output chosen, shared by
// the DXF conversion and the preview.  Not part of the public API.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "api/tessa_api.h"

namespace tessa::api::detail {

// What a run writes from the converted model.
enum class TOutput { Dxf, Svg };

// ConvertFile (text null) or ConvertFileToMemory (text set) writing kind:
// the same checks of both paths, the same reasons.
Result ConvertFileAs(TOutput kind, const std::string& src, const std::string& dst,
                     const Options& options, bool overwrite, std::string* text);

}  // namespace tessa::api::detail
