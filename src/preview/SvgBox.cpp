#include "preview/SvgBox.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "preview/SvgItems.h"
#include "util/Func_2.h"

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

namespace {

constexpr double kDeg = M_PI / 180;

// Boxes of the block definitions in their own coordinates, each worked
// out once; a definition met again on its own path counts as empty.
class TBoxes {
 public:
  explicit TBoxes(const TDXFmodel& m)
      : m_(m), blocks_(m.deBlockDef.size()), state_(m.deBlockDef.size(), kTodo) {}

  TSvgBox Space(int32_t spc) {
    TSvgBox box;
    const svg::TLists lists = svg::TLists::Of(m_);
    for (const TDXF_EntNo& e : m_.deNo)
      svg::Visit(e, lists, [&](const auto& item) {
        if (item.spc == spc && svg::Written(m_, item.spc)) Add(box, item);
      });
    return box;
  }

 private:
  enum : char { kTodo, kBusy, kDone };

  const TSvgBox& Block(int32_t i) {
    static const TSvgBox kNone;
    if (i < 0 || static_cast<size_t>(i) >= blocks_.size()) return kNone;
    const size_t k = static_cast<size_t>(i);
    if (state_[k] == kBusy) return kNone;
    if (state_[k] == kTodo) {
      state_[k] = kBusy;
      TSvgBox box;
      const TDXF_BlockDef& b = m_.deBlockDef[k];
      const svg::TLists lists = svg::TLists::Of(b);
      for (const TDXF_EntNo& e : b.dmNo)
        svg::Visit(e, lists, [&](const auto& item) {
          if (svg::Written(m_, item.spc)) Add(box, item);
        });
      blocks_[k] = box;
      state_[k] = kDone;
    }
    return blocks_[k];
  }

  // The box of block i placed at (x, y), turned by a degrees, scaled.
  void Placed(TSvgBox& box, int32_t i, double x, double y, double a, double sx, double sy) {
    const TSvgBox& in = Block(i);
    if (in.empty) return;
    const double c = std::cos(a * kDeg), s = std::sin(a * kDeg);
    for (double px : {in.x1, in.x2})
      for (double py : {in.y1, in.y2}) box.Add(x + c * px * sx - s * py * sy, y + s * px * sx + c * py * sy);
  }

  void Add(TSvgBox& box, const TDXF_Line& e) {
    box.Add(e.x1, e.y1);
    box.Add(e.x2, e.y2);
  }
  void Add(TSvgBox& box, const TDXF_Circle& e) {
    box.Add(e.x - e.r, e.y - e.r);
    box.Add(e.x + e.r, e.y + e.r);
  }
  void Add(TSvgBox& box, const TDXF_Arc& e) {
    const double from = e.da >= 0 ? e.sa : e.sa + e.da, sweep = std::fabs(e.da);
    auto at = [&](double deg) { box.Add(e.x + e.r * std::cos(deg * kDeg), e.y + e.r * std::sin(deg * kDeg)); };
    at(from);
    at(from + sweep);
    // The quadrant points the arc passes.
    for (double q = std::ceil(from / 90) * 90; q < from + sweep && q < from + 360; q += 90) at(q);
  }
  void Add(TSvgBox& box, const TDXF_Ellipse& e) {
    const double tilt = e.ka * kDeg;
    if (std::fabs(e.da) <= 1e-14) {
      const double a = e.r, b = e.r * e.he, c = std::cos(tilt), s = std::sin(tilt);
      const double hx = std::hypot(a * c, b * s), hy = std::hypot(a * s, b * c);
      box.Add(e.x - hx, e.y - hy);
      box.Add(e.x + hx, e.y + hy);
      return;
    }
    constexpr int kSteps = 64;
    for (int k = 0; k <= kSteps; ++k) {
      double px = 0, py = 0;
      EllipsePoint(e.x, e.y, e.r, e.he, tilt, (e.sa + e.da * k / kSteps) * kDeg, px, py);
      box.Add(px, py);
    }
  }
  void Add(TSvgBox& box, const TDXF_Ten& e) {
    if (m_.tentyp == 1) {
      const double r = m_.tenrad * e.ba;
      box.Add(e.x - r, e.y - r);
      box.Add(e.x + r, e.y + r);
    } else if (m_.tentyp >= 2 && m_.tentyp <= 6) {
      const double s = std::fabs(e.ba) > 1e-14 ? e.ba : 1.0;
      Placed(box, m_.tenidx, e.x, e.y, e.a, s, s);
    } else {
      box.Add(e.x, e.y);
    }
  }
  void Add(TSvgBox& box, const TDXF_Solid3& e) {
    box.Add(e.x1, e.y1);
    box.Add(e.x2, e.y2);
    box.Add(e.x3, e.y3);
  }
  void Add(TSvgBox& box, const TDXF_Solid4& e) {
    Add(box, TDXF_Solid3{e.spc, e.lay, e.col, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3});
    box.Add(e.x4, e.y4);
  }
  void Add(TSvgBox& box, const TDXF_Moji& e) {
    if (DelSpace(e.st).empty()) return;
    // The base line from the first point to the second and the text's
    // height across it (on both sides for a column of vertical text).
    const double nx = -std::sin(e.a * kDeg) * e.h, ny = std::cos(e.a * kDeg) * e.h;
    for (const auto& [x, y] : {std::pair(e.x1, e.y1), std::pair(e.x2, e.y2)}) {
      box.Add(x, y);
      box.Add(x + nx, y + ny);
      if (e.tate) box.Add(x - nx, y - ny);
    }
  }
  void Add(TSvgBox& box, const TDXF_ViewPort& e) {
    if (e.spc == 0 || e.id <= 1) return;  // the sheet's own view
    box.Add(e.cx - e.w / 2, e.cy - e.h / 2);
    box.Add(e.cx + e.w / 2, e.cy + e.h / 2);
  }
  void Add(TSvgBox& box, const TDXF_Block& e) {
    const double sx = std::fabs(e.bx) > 1e-14 ? e.bx : 1.0;
    const double sy = std::fabs(e.by) > 1e-14 ? e.by : 1.0;
    Placed(box, e.bln, e.x, e.y, e.a, sx, sy);
  }

  const TDXFmodel& m_;
  std::vector<TSvgBox> blocks_;
  std::vector<char> state_;
};

}  // namespace

TSvgBox SpaceBox(const TDXFmodel& m, int32_t spc) { return TBoxes(m).Space(spc); }

}  // namespace tessa
