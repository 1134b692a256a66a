// Boxes of what a DXF model draws, as a reader of the written file sees
// it: the reach of arcs, circles and ellipses, a text's box from its
// alignment points and height (descenders included), a solid's corners, the placed contents of
// an insert (nested blocks, scale, rotation), a point marker's shape.
// Items the writer leaves out (blank texts, inserts of no block, points of
// no kind, viewports) add nothing.
//
// It reads the model only and needs no writer: a preview can take the
// box of its picture from here.  The cost is linear in the drawing: each
// block definition's outline is worked out once, and every insert of it
// places that outline.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "dxf/SaveUnit.h"

namespace tessa {

// An axis-parallel box; empty until a finite point is added.
struct TDXFBox {
  double x1 = std::numeric_limits<double>::infinity();
  double y1 = std::numeric_limits<double>::infinity();
  double x2 = -std::numeric_limits<double>::infinity();
  double y2 = -std::numeric_limits<double>::infinity();

  bool Empty() const { return !(x1 <= x2 && y1 <= y2); }
  // Points that are not finite are left out.
  void Add(double x, double y);
  void Add(const TDXFBox& b);
  double Width() const { return Empty() ? 0.0 : x2 - x1; }
  double Height() const { return Empty() ? 0.0 : y2 - y1; }
};

// The spaces an ENTITIES item can lie in (its `spc`).
inline constexpr int32_t kDXFSpaces = 3;

class TDXFExtents {
 public:
  // Works out the outline of every block definition of `m`; the model
  // must outlive this object and not change while it is used.
  explicit TDXFExtents(const TDXFmodel& m);

  // Box of one step of the ENTITIES order (empty for what is not drawn).
  TDXFBox Step(const TDXF_EntNo& step) const;
  // Box of every ENTITIES item of space `spc` (0 model, 1 paper, 2 the
  // second layout), viewports aside.
  TDXFBox Space(int32_t spc) const;
  // The boxes of all three spaces in one pass over the ENTITIES order.
  std::array<TDXFBox, kDXFSpaces> Spaces() const;
  // Box of block definition `i` in its own coordinates (empty when it
  // draws nothing or `i` is no definition).
  TDXFBox Block(int32_t i) const;

  // Space of one ENTITIES step; -1 for a viewport or a step that names no
  // record.
  int32_t SpaceOf(const TDXF_EntNo& step) const;

  struct TPt {
    double x = 0, y = 0;
  };

 private:
  void BuildOutlines();
  const TDXFmodel& m_;
  // Convex outline of each block definition's contents: placing it with
  // any scale and rotation and taking the box gives the box of the placed
  // contents.
  std::vector<std::vector<TPt>> outline_;
};

}  // namespace tessa
