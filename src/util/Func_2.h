// Free helper functions shared by every part of the converter: tolerant
// text/number conversions, Japanese-aware text editing, plane geometry,
// extents accumulation, colours and thin file operations.
//
// Text from drawings is UTF-16 (std::u16string): one character is one
// UTF-16 code unit, and the editing functions count, index and clip in
// those units.  File paths are native byte strings (UTF-8 on Linux).
#pragma once

// One header per concern; this one brings them all.
#include "util/Func_2Cp932.h"
#include "util/Func_2Files.h"
#include "util/Func_2Geometry.h"
#include "util/Func_2Number.h"
#include "util/Func_2Text.h"
