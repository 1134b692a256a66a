// The shape of an ASCII DXF file as this converter writes it, checked
// without any DXF library: lines end in CR LF and pair a group code with a
// value that reads as the code's type; sections, tables, blocks and
// polylines open and close in order; handles are unique hexadecimal
// numbers below $HANDSEED and every pointer names one of them; EOF is the
// last pair.  Used by the fuzz targets on whatever the converter wrote and
// by a unit test on fixture drawings.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace tessa::dxfshape {

struct TDxfShape {
  std::string version;                       // $ACADVER ("AC1009", ...)
  std::map<std::string, int64_t> entities;   // ENTITIES per kind; a polyline's
                                             // vertices and end are parts of it
  int64_t blocks = 0;                        // BLOCKs other than the *-named layouts
  uint64_t handseed = 0;                     // 0 when the header has none
  int64_t handles = 0;                       // handles given out
};

// What is wrong with the first fault found (with its line number), or an
// empty string when the text is a well-formed DXF file; shape receives what
// was read.
std::string CheckDxf(std::string_view text, TDxfShape& shape);

}  // namespace tessa::dxfshape
