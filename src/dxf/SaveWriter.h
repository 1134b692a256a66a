// Pieces of the DXF writer shared by its section files and its tests.
// The sections themselves are private methods of TDXFmodel (SaveUnit.h).
#pragma once

#include <cstdint>

#include "dxf/SaveUnit.h"
#include "util/Func_2.h"

namespace tessa {

// $HANDSEED: the handle that follows the last one the file uses.  Every
// table, record, block marker, entity and object takes one handle in
// writing order, and so does every item of a drawing order that is not
// written, so the count is known before the first section.
int32_t DXFHandSeed(const TDXFmodel& m);

// Scale of the header values: the drawing scale without layout, else the
// scale of layer group 0 (1 when it is the group drawn on paper).
double DXFHeaderScale(const TDXFmodel& m);

// Julian date of a local date-time; "no time" (0) is 30 December 1899.
double DXFJulianDate(TDateTime t);

}  // namespace tessa
