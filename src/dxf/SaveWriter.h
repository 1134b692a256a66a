// The DXF writer: writes a finished DXF model (SaveUnit.h) into a sink,
// section by section.  The model only holds what is drawn; everything the
// writing needs besides (the version, the output, the handles handed out,
// the handle of the BLOCK_RECORD table) lives here.
#pragma once

#include <array>
#include <cstddef>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "dxf/SaveExtents.h"
#include "dxf/SaveUnit.h"
#include "dxf/SaveWriterCodes.h"
#include "dxf/SaveWriterOut.h"
#include "util/Func_2.h"

namespace tessa {

// How the writer lays the file out; the bytes do not depend on it.
struct TDXFWriteOptions {
  // ENTITIES items per part that a helper thread and the writer share out;
  // 0 writes the section in one go.
  size_t entityPartItems = 4096;
  // SaveDXFFile: false leaves an existing file at the target alone and
  // fails with kDXFOutputExists.
  bool replace = true;
};

// The kinds of entity the ENTITIES section holds, as the writer tallies them.
enum class TDXFWritten : uint8_t {
  Line, Circle, Arc, Ellipse, Polyline, Point, Solid, Text, Insert, Viewport, Count
};
// "LINE", "CIRCLE", ...: the entity's name in the file.
const char* DXFWrittenName(TDXFWritten kind);

// What a writing put in the file: entities of the ENTITIES section per
// kind, and block definitions.
struct TDXFTally {
  std::array<int64_t, static_cast<size_t>(TDXFWritten::Count)> entities{};
  int64_t blocks = 0;
  void Add(const TDXFTally& o) {
    for (size_t k = 0; k < entities.size(); ++k) entities[k] += o.entities[k];
    blocks += o.blocks;
  }
};

// Outcome of writing a DXF file.  On failure `code` is the stable
// "write-failed" and `message` says what failed (with the system's reason
// where there is one).
struct TDXFWriteResult {
  bool ok = false;
  std::string code;
  std::string message;
  // The handle after the last one the file uses (equal to $HANDSEED when
  // the whole file was written).
  int32_t nextHandle = 0;
  TDXFTally tally;  // what the file holds, when it was written
  explicit operator bool() const { return ok; }
};

inline constexpr const char* kDXFWriteFailed = "write-failed";
inline constexpr const char* kDXFOutputExists = "output-exists";

// Lays a file out into `out` with `write` (which answers whether every
// byte went in, and may fill the result), then finishes the sink.  A
// thrown failure becomes a result naming the `kind` of file ("DXF",
// "SVG"); on any failure the sink is aborted, so no partial file remains.
TDXFWriteResult WriteToSink(TDXFSink& out, const char* kind,
                            const std::function<bool(TDXFWriteResult&)>& write);
// `write` into the file `dst`, written beside it and put in place only
// when complete; an existing file is replaced only with `replace`.
TDXFWriteResult WriteToFile(const std::string& dst, bool replace,
                            const std::function<TDXFWriteResult(TDXFSink&)>& write);

// The header's dates: day zero for a drawing that has none.
struct TDXFDates {
  TDateTime created = 0;
  TDateTime written = 0;
};
// The file dates of the source drawing `src` (an empty or missing path
// gives day zero).
TDXFDates DXFDatesOf(const std::string& src);

// Writes `m` as a DXF file of the model's version into `out`; `src` is the
// source drawing, whose file dates go into the header (an empty or missing
// path gives the dates of day zero).  On success the sink is finished
// (a file sink puts its file in place), on failure it is aborted (a file
// sink leaves nothing behind).
TDXFWriteResult SaveDXF(const TDXFmodel& m, const std::string& src, TDXFSink& out,
                        const TDXFWriteOptions& opt = {});
// The same with the header's dates given.
TDXFWriteResult SaveDXF(const TDXFmodel& m, const TDXFDates& dates, TDXFSink& out,
                        const TDXFWriteOptions& opt = {});

// The same into the file `dst`, written beside it and put in place only
// when complete.
TDXFWriteResult SaveDXFFile(const TDXFmodel& m, const std::string& src, const std::string& dst,
                            const TDXFWriteOptions& opt = {});

// True when the whole file `dst` was written; on failure no file remains
// there.
bool SaveDXF(const TDXFmodel& m, const std::string& src, const std::string& dst);

// $HANDSEED: the handle that follows the last one the file uses.  Every
// table, record, block marker, entity and object takes one handle in
// writing order, and so does every item of a drawing order that is not
// written, so the count is known before the first section.
int32_t DXFHandSeed(const TDXFmodel& m, const TDXFVersion& v);
inline int32_t DXFHandSeed(const TDXFmodel& m) { return DXFHandSeed(m, TDXFVersion(m.Ver)); }

// Scale of the header values: the drawing scale without layout, else the
// scale of layer group 0 (1 when it is the group drawn on paper).
double DXFHeaderScale(const TDXFmodel& m);

// What each space holds and where the file opens, from the full shapes of
// what the model draws.  A space that holds nothing gets its sheet: model
// space the paper at the header scale, the layouts the paper.
struct TDXFViews {
  std::array<TDXFBox, kDXFSpaces> space;  // model, paper, second layout
  TDXFBox paperLimits;  // the paper layout's limits: its sheet, or for a
                        // symbol (no sheet) what paper space holds
  double viewX = 0, viewY = 0, viewH = 1;  // the opening view (*Active)
};
TDXFViews DXFViews(const TDXFmodel& m);

// Julian date of a local date-time; "no time" (0) is 30 December 1899.
double DXFJulianDate(TDateTime t);

// One writing of one model: the model (read only), the version, the
// output channel and the state that grows while the sections are written.
class TDXFWriter {
 public:
  TDXFWriter(const TDXFmodel& m, const TDXFVersion& v, TDXFGroupWriter& out,
             const TDXFDates& d, const TDXFWriteOptions& opt = {})
      : model(m),
        ver(v),
        st(out),
        dates(d),
        entityPartItems(opt.entityPartItems),
        views(DXFViews(m)) {}
  TDXFWriter(const TDXFWriter&) = delete;
  TDXFWriter& operator=(const TDXFWriter&) = delete;

  // Every section from the leading comment to EOF, into `st`.
  void Write();

  const TDXFmodel& model;
  const TDXFVersion ver;
  TDXFGroupWriter& st;
  const TDXFDates dates;  // for the header
  const size_t entityPartItems;
  const TDXFViews views;  // header extents and limits, opening view, layouts
  int32_t DXFHnd = 1;  // next handle to hand out
  int32_t hn_blk = 0;  // handle of the BLOCK_RECORD table (AC1015, AC1021)
  TDXFTally tally;     // what the sections written so far hold

 private:
  void PutComment(std::u16string_view s);
  void PutHeader();
  void PutClasses();
  void PutTables();
  void PutBlocks();
  void PutEntities();
  void PutObjects();
  void PutEOF();
  void PutClass(std::u16string_view rec, std::u16string_view cls, int32_t flags, int32_t count);
};

// Base of the section writers: the model, the writing it belongs to, its
// output channel and version, and the handles handed out in writing order.
class TDXFSectionWriter {
 protected:
  explicit TDXFSectionWriter(TDXFWriter& s) : TDXFSectionWriter(s, s.st) {}
  // Writing into another channel than the writing's (a part of a section
  // laid out apart).
  TDXFSectionWriter(TDXFWriter& s, TDXFGroupWriter& w) : s_(s), m_(s.model), w_(w), v_(s.ver) {}

  uint32_t NewHandle() { return static_cast<uint32_t>(s_.DXFHnd++); }
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

  TDXFWriter& s_;
  const TDXFmodel& m_;
  TDXFGroupWriter& w_;
  const TDXFVersion v_;
};

}  // namespace tessa
