// The preview entries of the library: the conversion's model drawn as SVG.
#include "api/tessa_api.h"
#include "api/tessa_core.h"

namespace tessa::api {

Result PreviewSvg(const std::string& src, const Options& options, std::string& svg) {
  // No output path: nothing to check of one.
  return detail::ConvertFileAs(detail::TOutput::Svg, src, "", options, false, &svg);
}

Result PreviewSvg(std::span<const uint8_t> data, Format format, const Options& options,
                  std::string& svg) {
  Products out;
  out.svg = &svg;
  return ConvertBytes(data, format, options, out);
}

Result PreviewSvgFile(const std::string& src, const std::string& dst, const Options& options,
                      bool overwrite) {
  return detail::ConvertFileAs(detail::TOutput::Svg, src, dst, options, overwrite, nullptr);
}

}  // namespace tessa::api
