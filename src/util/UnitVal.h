// Process-wide values shared by the driver, the readers and the conversion.
// One conversion runs per process, on one thread.
#pragma once

#include <string>

namespace tessa {

class TgraAttribute;
class TDXFmodel;

extern std::string AppDir;       // executable's folder, trailing separator
extern std::u16string AppTitle;  // first comment of every DXF file
extern const char16_t kAppTitleText[];  // the value AppTitle starts with
extern std::string CurFileName;  // path of the loaded drawing

extern double ExtMinX, ExtMinY, ExtMaxX, ExtMaxY;  // 0, 0, 400, 400 at start
extern double PaperX, PaperY;                      // mm; 400, 400 at start

extern int OptLayerNameType, OptSpace, OptScaleGroup, OptTenType;
extern double OptTenSize;
extern int BackColorNo, ColorSource;

extern TgraAttribute* GraAtt;  // owned by the driver (JwInit .. JwFine)
extern TDXFmodel* DxfModel;    // owned by the current conversion

// Sets every value above to its start value (GraAtt and DxfModel untouched).
void UnitValReset();
// Sets only the extents and the paper to their start values.
void ExtentsAndPaperReset();

}  // namespace tessa
