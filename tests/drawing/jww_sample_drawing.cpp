#include "jww_sample_drawing.h"

#include "JwwFixtureWriter.h"

namespace tessa::test {

TJwwData MakeSampleDrawing() {
  TJwwData d = MakeJwwDrawing(700);
  d.Enthd.strMemo = u"tessaconv sample";
  d.EntLgrp[0].adScale = 100;
  d.EntLgrp[0].aStrGLayName = u"平面図";
  d.EntLay[0].aStrLayName = u"壁";
  d.EntLay[1].aStrLayName = u"寸法";
  d.EntLay[2].aStrLayName = u"文字";

  const TEntJwwAttr wall = Attr(0, 0, 2, 1);
  AddLine(d, Line(-50, -30, 50, -30, wall));
  AddLine(d, Line(50, -30, 50, 30, wall));
  AddLine(d, Line(50, 30, -50, 30, wall));
  AddLine(d, Line(-50, 30, -50, -30, wall));
  // Door swing: a quarter arc at the lower left corner.
  AddEnko(d, Arc(-40, -30, 9, 0, 1.5707963267948966, Attr(0, 0, 1, 1)));
  AddEnko(d, Circle(0, 0, 3, Attr(0, 0, 3, 1)));
  AddTen(d, Point(20, 10, Attr(0, 0, 1, 1)));
  AddMoji(d, Text(-45, 35, u"サンプル図面　1/100", 4, Attr(0, 2, 5, 1)));
  AddSunpo(d, Dimension(-50, 50, -40, u"10000", Attr(0, 1, 1, 1)));

  TEntJwwBlockDef& win = AddBlockDef(d, 0, u"窓", Attr(0, 0, 4, 1));
  AddLine(win, Line(0, 0, 20, 0, Attr(0, 0, 4, 1)));
  AddLine(win, Line(0, 1, 20, 1, Attr(0, 0, 4, 1)));
  AddBlock(d, Insert(0, -30, 30, 0, 1, 1, Attr(0, 0, 4, 1)));
  AddBlock(d, Insert(0, 10, 30, 0, 1, 1, Attr(0, 0, 4, 1)));
  return d;
}

std::vector<uint8_t> SampleDrawingBytes() { return WriteJww(MakeSampleDrawing()); }

}  // namespace tessa::test
