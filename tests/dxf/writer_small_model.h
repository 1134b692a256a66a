// The smallest whole model the file-output tests write: the tables a DXF
// needs and one line.
#pragma once

#include "dxf/SaveUnit.h"

namespace tessa {

inline void SmallModel(TDXFmodel& m, int ver) {
  m.SetDXFVer(ver, 0);
  m.SetAppName(u"test");
  m.AddLtype(u"Continuous", u"Solid line", 0, {});
  m.AddLayer(u"0", 7, 1, 0, true, true);
  m.AddStyle(u"Standard", u"txt", u"extfont2.shx", 0, 1, 0, 2.5, false);
  m.AddLine(0, 0, 1, 0, 0, 0, 0, 10, 10);
}

}  // namespace tessa
