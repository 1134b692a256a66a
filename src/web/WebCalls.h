// What the page asks of the library, in the shapes a script handles: the
// drawing's name and bytes in, options as a JSON object by the names the
// Python module uses, and the answer as bytes plus one JSON text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessa::web {

struct TAnswer {
  std::string bytes;  // the DXF file or the SVG picture; empty on failure
  std::string json;   // the result (or info) object, see below
};

// Converts the drawing `name` (its extension gives the format).  json is
// the library's result object ({"ok", "reason", "format", "version",
// "written", "warnings", "seconds"}).  writtenMs, the file's last change in
// milliseconds on the local clock (negative: none), gives both header
// dates.  withInfo: the same reading also gives Info's object, as the
// result's "info" (there whenever the drawing was looked at, also when it
// could not be read or converted).
TAnswer Convert(std::string_view name, std::span<const uint8_t> data, std::string_view options,
                double writtenMs, bool withInfo = false);
// The SVG preview with the same options; json as for Convert.
TAnswer Preview(std::string_view name, std::span<const uint8_t> data, std::string_view options);
// The object `tessa info --json` prints for the drawing (no bytes).
TAnswer Info(std::string_view name, std::span<const uint8_t> data);
// The options, their values and defaults, for the page's form:
// [{"name", "values" [..] or "min"/"max", "default"}].
std::string OptionsJson();

}  // namespace tessa::web
