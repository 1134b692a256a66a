#include "preview/SvgBox.h"

#include <algorithm>
#include <cmath>

#include "dxf/SaveExtents.h"

namespace tessa {

void TSvgBox::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    x1 = x2 = x;
    y1 = y2 = y;
    empty = false;
    return;
  }
  x1 = std::min(x1, x);
  y1 = std::min(y1, y);
  x2 = std::max(x2, x);
  y2 = std::max(y2, y);
}

void TSvgBox::Add(const TSvgBox& b) {
  if (b.empty) return;
  Add(b.x1, b.y1);
  Add(b.x2, b.y2);
}

TSvgBox SpaceBox(const TDXFmodel& m, int32_t spc) {
  TSvgBox box;
  const TDXFBox drawn = TDXFExtents(m).Space(spc);
  if (!drawn.Empty()) {
    box.Add(drawn.x1, drawn.y1);
    box.Add(drawn.x2, drawn.y2);
  }
  if (spc == 0) return box;
  // The boxes of the viewports that show something; the first one is the
  // sheet's own view.
  for (const TDXF_ViewPort& v : m.deVport) {
    if (v.spc != spc || v.id <= 1 || !v.mf) continue;
    box.Add(v.cx - v.w / 2, v.cy - v.h / 2);
    box.Add(v.cx + v.w / 2, v.cy + v.h / 2);
  }
  return box;
}

}  // namespace tessa
