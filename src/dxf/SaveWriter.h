// Pieces of the DXF writer shared by its section files and its tests.
// The sections themselves are private methods of TDXFmodel (SaveUnit.h).
#pragma once

#include <cstdint>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriterCodes.h"
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

// Base of the section writers: the model, the output channel the model
// points to while SaveDXF runs, the version, and the handles handed out in
// writing order.
class TDXFSectionWriter {
 protected:
  explicit TDXFSectionWriter(TDXFmodel& m) : TDXFSectionWriter(m, *m.st) {}
  // Writing into another channel than the model's (a part of a section
  // laid out apart).
  TDXFSectionWriter(TDXFmodel& m, TDXFGroupWriter& w) : m_(m), w_(w), v_(m.Ver) {}

  uint32_t NewHandle() { return static_cast<uint32_t>(m_.DXFHnd++); }
  void BeginSection(const char* name) {
    w_.Ascii(0, "SECTION");
    w_.Ascii(2, name);
  }
  void EndSection() { w_.Ascii(0, "ENDSEC"); }

  // Reals at codes c and c + 10.
  void Pair(int c, double x, double y) {
    w_.Real(c, x);
    w_.Real(c + 10, y);
  }
  // Reals at codes c, c + 10 and c + 20.
  void Triple(int c, double x, double y, double z) {
    Pair(c, x, y);
    w_.Real(c + 20, z);
  }

  // The world UCS of a view: origin, x and y axes, not orthographic, no
  // elevation (VPORT records and VIEWPORT entities).
  void WorldUcs() {
    Triple(110, 0.0, 0.0, 0.0);
    Triple(111, 1.0, 0.0, 0.0);
    Triple(112, 0.0, 1.0, 0.0);
    w_.Int(79, 0);
    w_.Real(146, 0.0);
  }

  TDXFmodel& m_;
  TDXFGroupWriter& w_;
  const TDXFVersion v_;
};

}  // namespace tessa
