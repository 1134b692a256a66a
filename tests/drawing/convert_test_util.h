// Shared set-up of the JWW/JWS conversion tests: the process-wide values a
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
#include "util/UnitVal.h"

namespace tessa::test {

constexpr double kPi = 3.14159265358979323846;

// DXF layer of drawing layer l in group g.
constexpr int32_t DxfLayer(int g, int l) { return 4 + g * 16 + l; }

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnitValReset();
    PaperX = 0;  // drawing coordinates come out unshifted unless a test sets a paper
    PaperY = 0;
    OptTenSize = 1.0;
    GraAtt = new TgraAttribute();
    GraAtt->SetBackColor(0);
    GraAtt->SetDefaultColor();
    GraAtt->SetDefaultTenR();
    drawing = MakeJwwDrawing(700);
  }
  void TearDown() override {
    DXFModelFree();
    delete GraAtt;
    GraAtt = nullptr;
    UnitValReset();
  }

  // Marks the used block definitions as the reader would, then builds the
  // model in DxfModel.
  TDXFmodel& Convert(int ver = 1) {
    drawing.MakeBlockTree();
    EXPECT_TRUE(TJwDxfConv(drawing, &drawing).BuildModel(ver));
    return *DxfModel;
  }
  TDXFmodel& ConvertSymbol(TJwsData& s, int ver = 1) {
    s.MakeBlockTree();
    EXPECT_TRUE(TJwDxfConv(s, nullptr).BuildModel(ver));
    return *DxfModel;
  }

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
