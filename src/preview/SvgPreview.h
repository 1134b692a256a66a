// The SVG preview: the same DXF model the DXF writer takes (SaveUnit.h),
// drawn as a picture.  The model's own space is drawn: model space, or the
// paper layout with each viewport showing its window of model space.
// Blocks become symbols, one per block, placed by <use> (lines keep their
// width at any scale a symbol is placed at); colours, line types, line
// weights and texts follow what the DXF file of the model holds.  y runs
// up as in the drawing.
#pragma once

#include <string>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterOut.h"

namespace tessa {

// Fonts of the preview's texts: Japanese gothic fonts with half-width
// ASCII first, as drawings lay their texts out in such a font; then
// proportional ones, any sans-serif last.
inline constexpr const char* kSvgFontFamily =
    "'Noto Sans Mono CJK JP', 'MS Gothic', 'Noto Sans CJK JP', 'Hiragino Sans', sans-serif";

// Writes the picture of m into out.  On success the sink is finished, on
// failure aborted; the result is that of the DXF writer.
TDXFWriteResult SavePreviewSvg(const TDXFmodel& m, TDXFSink& out);

// The same into the file dst, put in place only when complete; replace
// false leaves an existing file alone and fails with kDXFOutputExists.
TDXFWriteResult SavePreviewSvgFile(const TDXFmodel& m, const std::string& dst,
                                   bool replace = true);

}  // namespace tessa
