// Test-side writer of JWW drawings and JWS symbols: lays out the bytes of
// the object archive from a container filled in memory, so that tests can
// build small drawings (and deliberately broken ones) without binary files.
//
// Typical use:
//
//   TJwwData d = MakeJwwDrawing(700);              // header and tables set up
//   AddLine(d, Line(0, 0, 10, 0));                 // entities, in file order
//   TEntJwwBlockDef& def = AddBlockDef(d, 1, u"A");
//   AddLine(def, Line(0, 0, 1, 1));
//   AddBlock(d, Insert(1, 50, 50));
//   std::vector<uint8_t> bytes = WriteJww(d);      // or WriteJwwFile(path, d)
//
// What is written is taken from the container as follows:
//  - Header: every field of Enthd and the tables (EntLgrp, EntLay, EntCol,
//    ...) in the file's order; Enthd.jwVer selects the version-dependent
//    parts.  Missing table entries are written as zero.  Enthd.n1, n2 and the
//    N counts are NOT used: counts come from what is written.
//  - Entities: in the order of EntNo (entries of type 0 or pointing past
//    their array are skipped); with an empty EntNo, every element of the
//    seven arrays, kind by kind.  Block definitions likewise use their mNo.
//  - Attributes are 15 bytes from version 351 on, else 13 (no nPenWidth).
//    Tails are written by the same rules the reader uses: point extras
//    when nPenStyle = 100, solid Color when nPenColor = 10, dimension
//    sub-records from version 420, 8 extra bytes after a definition whose
//    dtime has its top bit set.
//  - Images (version 700 on, JWW only): BindImage names and Fsize as given;
//    the content is TJwwWriteOptions::imageData[i] when present (written as
//    it is, whatever Fsize says), else Fsize bytes of 0x5A.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "drawing/jwwtype.h"

namespace tessa::test {

// Byte-level archive writer: little-endian values, counts, counted strings
// and class tags numbered the way the reader numbers them.
class TJwArchiveWriter {
 public:
  std::vector<uint8_t> bytes;

  // Strings are written in the UTF-16 form of newer Jw_cad versions.
  bool unicodeStrings = false;
  // Class references are written as 0x7FFF + DWORD instead of one WORD.
  bool bigTags = false;
  // Counts are written as 0xFFFF + DWORD even when they would fit a WORD.
  bool wideCounts = false;

  void U8(uint8_t v);
  void U16(uint16_t v);
  void U32(uint32_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F64(double v);
  void Raw(std::string_view b);
  void Zeros(size_t n);

  // A WORD, or 0xFFFF and a DWORD for 65535 and more (or with wideCounts).
  void Count(uint32_t n);
  // Text as a counted string (code page 932, or UTF-16 with unicodeStrings).
  void Str(std::u16string_view s);
  // Bytes as a counted string: one length byte below 255, else 0xFF and a
  // WORD, else 0xFF, 0xFFFF and a DWORD.
  void StrBytes(std::string_view b);
  // UTF-16 form: 0xFF, WORD 0xFFFE, then the length in code units in the
  // same widening form, then the text as UTF-16LE.
  void UStr(std::u16string_view s);

  // Tag of an object of class `name`: a new-class tag the first time
  // (schema WORD 0, name length, name), a reference afterwards.
  void ClassTag(const std::string& name);
  // A new-class tag even if the class was seen before.
  void NewClassTag(const std::string& name);
  // A raw tag WORD (e.g. an object reference below 0x8000).
  void RawTag(uint16_t w) { U16(w); }
  // An object has been written: it takes the next index.
  void ObjectDone() { ++next_; }
  // Index a class name was given, 0 when not seen yet.
  uint32_t ClassIndex(const std::string& name) const;

 private:
  uint32_t next_ = 1;
  std::map<std::string, uint32_t> classes_;
};

struct TJwwWriteOptions {
  bool unicodeStrings = false;
  bool bigTags = false;
  bool wideCounts = false;
  // Content of image i; missing entries get Fsize filler bytes.
  std::vector<std::string> imageData;
  // Class name written for each entity kind 1..7 (index = EntType);
  // replace one to produce an unknown class.
  std::vector<std::string> classNames = {"",           "CDataSen",   "CDataEnko",
                                         "CDataTen",   "CDataMoji",  "CDataSunpou",
                                         "CDataSolid", "CDataBlock"};
  // Class name of block definitions (the reader does not check it).
  std::string blockDefClass = "CDataList";
};

// ---- Whole files ----------------------------------------------------------
std::vector<uint8_t> WriteJww(const TJwwData& d, const TJwwWriteOptions& o = {});
std::vector<uint8_t> WriteJws(const TJwsData& d, const TJwwWriteOptions& o = {});
bool WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteJwwFile(const std::string& path, const TJwwData& d, const TJwwWriteOptions& o = {});
bool WriteJwsFile(const std::string& path, const TJwsData& d, const TJwwWriteOptions& o = {});

// ---- Sections, for hand-made files -----------------------------------------
// Signature, version and header with tables (everything before the entities).
void WriteJwwHeader(TJwArchiveWriter& w, const TJwwData& d);
void WriteJwsHeader(TJwArchiveWriter& w, const TJwsData& d);
// Count and objects of the top-level entity list.
void WriteEntityList(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d,
                     const TJwwWriteOptions& o = {});
// One entity of kind `type` (1..7) with its tag; `index` into d's arrays.
void WriteEntity(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d, int32_t type,
                 int32_t index, const TJwwWriteOptions& o = {});
// Count and definitions.
void WriteBlockDefs(TJwArchiveWriter& w, int32_t ver, const TJwwBaseData& d,
                    const TJwwWriteOptions& o = {});
// Count and images.
void WriteBindImages(TJwArchiveWriter& w, const TJwwBaseData& d, const TJwwWriteOptions& o = {});
// A record's attribute in the layout of `ver`.
void WriteAttr(TJwArchiveWriter& w, int32_t ver, const TEntJwwAttr& a);

// ---- Building drawings ------------------------------------------------------
// A drawing of version `ver` with its tables sized: paper code 3 (A3), 16
// groups of scale 1 with state 2, 256 layers with state 2, pens 1..9 set,
// ten text styles.
TJwwData MakeJwwDrawing(int32_t ver = 700);
// A symbol of version `ver`: base point (0, 0), 16 groups of scale 1.
TJwsData MakeJwsSymbol(int32_t ver = 700);

TEntJwwAttr Attr(uint16_t group = 0, uint16_t layer = 0, uint16_t color = 1,
                 uint8_t style = 1);
TEntJwwLine Line(double x1, double y1, double x2, double y2, TEntJwwAttr a = Attr());
TEntJwwEnko Arc(double cx, double cy, double r, double startRad, double sweepRad,
                TEntJwwAttr a = Attr());
TEntJwwEnko Circle(double cx, double cy, double r, TEntJwwAttr a = Attr());
TEntJwwTen Point(double x, double y, TEntJwwAttr a = Attr());
TEntJwwMoji Text(double x, double y, std::u16string s, double size = 5,
                 TEntJwwAttr a = Attr());
TEntJwwSolid Solid(double x1, double y1, double x2, double y2, double x3, double y3,
                   double x4, double y4, TEntJwwAttr a = Attr());
TEntJwwBlock Insert(uint32_t number, double x, double y, double rotRad = 0,
                    double sx = 1, double sy = 1, TEntJwwAttr a = Attr());
// A horizontal dimension from (x1, y) to (x2, y) with its text.
TEntJwwSunpo Dimension(double x1, double x2, double y, std::u16string text,
                       TEntJwwAttr a = Attr());

// Append an entity to a drawing (or symbol) and to its order list, keeping
// the N counts right.
void AddLine(TJwwBaseData& d, const TEntJwwLine& e);
void AddEnko(TJwwBaseData& d, const TEntJwwEnko& e);
void AddTen(TJwwBaseData& d, const TEntJwwTen& e);
void AddMoji(TJwwBaseData& d, const TEntJwwMoji& e);
void AddSunpo(TJwwBaseData& d, const TEntJwwSunpo& e);
void AddSolid(TJwwBaseData& d, const TEntJwwSolid& e);
void AddBlock(TJwwBaseData& d, const TEntJwwBlock& e);
// The same for the contents of a block definition.
void AddLine(TEntJwwBlockDef& d, const TEntJwwLine& e);
void AddEnko(TEntJwwBlockDef& d, const TEntJwwEnko& e);
void AddTen(TEntJwwBlockDef& d, const TEntJwwTen& e);
void AddMoji(TEntJwwBlockDef& d, const TEntJwwMoji& e);
void AddSunpo(TEntJwwBlockDef& d, const TEntJwwSunpo& e);
void AddSolid(TEntJwwBlockDef& d, const TEntJwwSolid& e);
void AddBlock(TEntJwwBlockDef& d, const TEntJwwBlock& e);
// A new definition numbered `number`; the reference stays valid until the
// next AddBlockDef.
TEntJwwBlockDef& AddBlockDef(TJwwBaseData& d, uint32_t number, std::u16string name,
                             TEntJwwAttr a = Attr());
// An image entry (content given in TJwwWriteOptions::imageData).
void AddBindImage(TJwwBaseData& d, std::u16string name, int32_t size);

}  // namespace tessa::test
