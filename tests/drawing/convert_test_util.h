// Shared set-up of the JWW/JWS conversion tests: the conversion context a
// run would have (options, paper, attribute tables), a drawing built in
// memory, and the DXF model the conversion makes of it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "JwwFixtureWriter.h"
#include "attributes/UnitGraAtt.h"
#include "drawing/JwwDxf.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "util/Func_2.h"
#include "drawing/JwConvContext.h"

namespace tessa::test {

constexpr double kPi = 3.14159265358979323846;

// DXF layer of drawing layer l in group g.
constexpr int32_t DxfLayer(int g, int l) { return 4 + g * 16 + l; }

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.Place.PaperX = 0;  // drawing coordinates come out unshifted unless a test sets a paper
    ctx.Place.PaperY = 0;
    ctx.Opt.TenSize = 1.0;
    drawing = MakeJwwDrawing(700);
  }

  // Marks the used block definitions as the reader would, then builds the
  // model in ctx.DxfModel.
  TDXFmodel& Convert(int ver = 1) {
    drawing.MakeBlockTree();
    EXPECT_TRUE(TJwDxfConv(ctx, drawing, &drawing).BuildModel(ver));
    return *ctx.DxfModel;
  }
  TDXFmodel& ConvertSymbol(TJwsData& s, int ver = 1) {
    s.MakeBlockTree();
    EXPECT_TRUE(TJwDxfConv(ctx, s, nullptr).BuildModel(ver));
    return *ctx.DxfModel;
  }

  TConvContext ctx;
  TJwwData drawing;
};

// The kinds of the ENTITIES order, in order.
inline std::vector<int32_t> Kinds(const TDXFmodel& m) {
  std::vector<int32_t> k;
  for (const TDXF_EntNo& e : m.deNo) k.push_back(e.tp);
  return k;
}
inline std::vector<int32_t> Kinds(const TDXF_BlockDef& b) {
  std::vector<int32_t> k;
  for (const TDXF_EntNo& e : b.dmNo) k.push_back(e.tp);
  return k;
}

inline TEntJwwAttr AttrW(uint16_t g, uint16_t l, uint16_t colour, uint8_t style, uint16_t width) {
  TEntJwwAttr a = Attr(g, l, colour, style);
  a.nPenWidth = width;
  return a;
}

}  // namespace tessa::test
