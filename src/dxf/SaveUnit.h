// The in-memory image of one DXF file: symbol tables, entity lists, block
// definitions and the layer-group viewports of one conversion.
//
// Conventions used throughout this header
// ---------------------------------------
// * Every list is a std::vector holding exactly its valid entries; the
//   count that goes with it is a const accessor named like the list plus
//   "N" (or "n"): deLine / deLineN(), ltps / ltpn(), dmNo / dmNoN(),
//   TDXF_Ltype::pt / n().  The count can therefore never disagree with
//   the list.  Callers add content only through the Add... operations; the
//   lists are public for reading (the writer, tests).
// * Attribute coding of entity records: `col`, `typ`, `wid` positive =
//   explicit value, 0 = by layer (nothing written), -1 = by block.  The Add
//   operations store 0 where a value equals the layer's own.
// * `lay` is a 0-based index into `lays`; a line-type index (`typ` of
//   drawing entities, `ltp` of layers) is a 1-based position in `ltps`;
//   the `typ` of a text is a 0-based position in `msts`.
// * Angles are degrees.  Text is UTF-16; paths are native byte strings.
// * A block definition's IDno is the drawing's unsigned 32-bit block
//   number widened to 64 bits; the converter's own blocks carry -1 and so
//   never match a drawing's block, not even number 0xFFFFFFFF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessa {

// Kind codes of one step of a drawing order (TDXF_EntNo::tp).
constexpr int32_t DXF_KIND_LINE = 1;
constexpr int32_t DXF_KIND_CIRCLE = 2;
constexpr int32_t DXF_KIND_ARC = 3;
constexpr int32_t DXF_KIND_ELLIPSE = 4;
constexpr int32_t DXF_KIND_TEN = 5;
constexpr int32_t DXF_KIND_SOLID3 = 6;
constexpr int32_t DXF_KIND_SOLID4 = 7;
constexpr int32_t DXF_KIND_MOJI = 8;
constexpr int32_t DXF_KIND_VPORT = 98;
constexpr int32_t DXF_KIND_BLOCK = 99;

// One step of a drawing order: kind code and 0-based index into the list
// of that kind.
struct TDXF_EntNo {
  int32_t tp = 0;
  int32_t no = 0;
};

struct TDXF_Line {
  int32_t spc = 0, lay = 0, col = 0, typ = 0, wid = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TDXF_Circle {
  int32_t spc = 0, lay = 0, col = 0, typ = 0, wid = 0;
  double x = 0, y = 0, r = 0;
};

// sa in [0, 360); da is the sweep, negative = clockwise.
struct TDXF_Arc {
  int32_t spc = 0, lay = 0, col = 0, typ = 0, wid = 0;
  double x = 0, y = 0, r = 0, sa = 0, da = 0;
};

// r major radius, he minor/major ratio (may exceed 1 as given by the
// drawing), sa start parameter, da sweep (0 = whole ellipse), ka tilt.
struct TDXF_Ellipse {
  int32_t spc = 0, lay = 0, col = 0, typ = 0, wid = 0;
  double x = 0, y = 0, r = 0, he = 0, sa = 0, da = 0, ka = 0;
};

// cod is kept but never written; a is the rotation, ba the marker scale.
struct TDXF_Ten {
  int32_t spc = 0, lay = 0, col = 0, wid = 0;
  int32_t cod = 0;
  double x = 0, y = 0, a = 0, ba = 0;
};

struct TDXF_Solid3 {
  int32_t spc = 0, lay = 0, col = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

// Corners in outline order.
struct TDXF_Solid4 {
  int32_t spc = 0, lay = 0, col = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
};

// typ is a text-style index (0-based into msts).  bas, d and fo are kept
// but never written.
struct TDXF_Moji {
  int32_t spc = 0, lay = 0, col = 0;
  int32_t typ = 0;
  int32_t bas = 0;
  bool tate = false;
  bool syat = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double w = 0, h = 0, d = 0, a = 0;
  std::u16string fo;
  std::u16string st;
};

// id is the 1-based number of the viewport; (cx, cy, w, h) its box on
// paper; (vx, vy, vh) the view in model space; sc, dx, dy the transform of
// the layer groups it shows; mf tells whether the paper box x1..y2 of the
// entities shown has been started; items are the steps of the ENTITIES
// order drawn through it.
struct TDXF_ViewPort {
  int32_t spc = 0;
  int32_t id = 0;
  double cx = 0, cy = 0, w = 0, h = 0;
  double vx = 0, vy = 0, vh = 0;
  double sc = 0, dx = 0, dy = 0;
  bool mf = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::vector<int32_t> items;
};

// Insert of block definition bln (index into deBlockDef; -1 = none).
struct TDXF_Block {
  int32_t spc = 0, lay = 0, col = 0, typ = 0, wid = 0;
  int32_t bln = 0;
  double x = 0, y = 0, a = 0, bx = 0, by = 0;
};

// Line type: pattern elements in drawing units (dash > 0, gap < 0, dot 0);
// pl is the sum of their absolute values.
struct TDXF_Ltype {
  std::u16string nam;
  std::u16string exp;
  std::vector<double> pt;
  double pl = 0;
  int32_t n() const { return static_cast<int32_t>(pt.size()); }
};

// col is always positive here; a hidden layer (dsp false) is written with
// the negative colour.  wid 0 = default lineweight.
struct TDXF_Layer {
  std::u16string nam;
  int32_t col = 0;
  int32_t ltp = 0;
  int32_t wid = 0;
  bool dsp = true;
  bool prn = true;
};

struct TDXF_Style {
  std::u16string nam;
  bool fla = false;  // vertical style
  double mh = 0;     // fixed height
  double mw = 0;     // width factor
  double ang = 0;    // oblique angle
  double mhl = 0;    // last height used
  std::u16string fo1;
  std::u16string fo2;
};

struct TDXF_BlockDef {
  std::u16string nam;
  int64_t IDno = -1;
  std::vector<TDXF_EntNo> dmNo;
  std::vector<TDXF_Line> dmLine;
  std::vector<TDXF_Circle> dmCirc;
  std::vector<TDXF_Arc> dmArc;
  std::vector<TDXF_Ellipse> dmElli;
  std::vector<TDXF_Ten> dmTen;
  std::vector<TDXF_Solid3> dmSld3;
  std::vector<TDXF_Solid4> dmSld4;
  std::vector<TDXF_Moji> dmMoji;
  std::vector<TDXF_Block> dmBlock;

  int32_t dmNoN() const { return static_cast<int32_t>(dmNo.size()); }
  int32_t dmLineN() const { return static_cast<int32_t>(dmLine.size()); }
  int32_t dmCircN() const { return static_cast<int32_t>(dmCirc.size()); }
  int32_t dmArcN() const { return static_cast<int32_t>(dmArc.size()); }
  int32_t dmElliN() const { return static_cast<int32_t>(dmElli.size()); }
  int32_t dmTenN() const { return static_cast<int32_t>(dmTen.size()); }
  int32_t dmSld3N() const { return static_cast<int32_t>(dmSld3.size()); }
  int32_t dmSld4N() const { return static_cast<int32_t>(dmSld4.size()); }
  int32_t dmMojiN() const { return static_cast<int32_t>(dmMoji.size()); }
  int32_t dmBlockN() const { return static_cast<int32_t>(dmBlock.size()); }
};

// A paper point (px, py) of a layer group becomes the model point
// (px * sc + dx, py * sc + dy); n is the index in deVport of the viewport
// that shows the group (0 when it is drawn on paper or without layout).
struct TDXF_LGroup {
  int32_t n = 0;
  double sc = 0;
  double dx = 0;
  double dy = 0;
};

// Name -> first index of a symbol list, compared by upper-cased form.
// It follows its list lazily, so lookups and collision renaming stay
// linear over a whole drawing however many names it holds.
class TDXFNameIndex {
 public:
  void Clear();
  // Brings the index up to date with names[0 .. count).
  template <class T>
  void Sync(const std::vector<T>& list) {
    if (list.size() < indexed_) Clear();
    for (; indexed_ < list.size(); ++indexed_) Insert(list[indexed_].nam, indexed_);
  }
  int32_t Find(std::u16string_view name) const;
  // The name to store for `name`: itself when free, else name + "_" + i for
  // the first free i (1 .. 99999; 99999 when all are taken).
  std::u16string Resolve(std::u16string_view name);

 private:
  void Insert(const std::u16string& name, size_t index);
  std::unordered_map<std::u16string, int32_t> first_;
  // Upper-cased base name -> lowest suffix that may still be free.
  std::unordered_map<std::u16string, int32_t> nextSuffix_;
  size_t indexed_ = 0;
};

// What one DXF file draws.  It knows nothing of writing: the writer
// (SaveWriter.h) takes a finished model and writes it into a file or memory.
class TDXFmodel {
 public:
  TDXFmodel();
  virtual ~TDXFmodel();
  TDXFmodel(const TDXFmodel&) = delete;
  TDXFmodel& operator=(const TDXFmodel&) = delete;

  // ---- Options and state --------------------------------------------------
  int32_t Ver = 0;  // 0 "AC1009", 1 "AC1015", 2 "AC1021"
  int32_t Spa = 0;  // 0 model space only, 1 paper layout with viewports
  std::u16string AppNam;
  double MinWx = 0, MinWy = 0, MaxWx = 10, MaxWy = 10;  // extents, paper mm
  double papx = 297, papy = 210;                        // paper size, mm
  double pscale = 1;                                    // drawing scale
  // False for a symbol: its paper is only the size of what it draws, so
  // its layout takes its limits from its contents.
  bool sheet = true;
  double tenrad = 0.5;                                  // point-marker radius
  int32_t laynametyp = 0;
  int32_t tentyp = 0;
  int32_t tenidx = -1;  // deBlockDef index of the point-marker block

  // ---- Symbol tables --------------------------------------------------------
  std::vector<TDXF_Ltype> ltps;
  std::vector<TDXF_Layer> lays;
  std::vector<TDXF_Style> msts;
  int32_t ltpn() const { return static_cast<int32_t>(ltps.size()); }
  int32_t layn() const { return static_cast<int32_t>(lays.size()); }
  int32_t mstn() const { return static_cast<int32_t>(msts.size()); }

  // ---- ENTITIES section -----------------------------------------------------
  std::vector<TDXF_EntNo> deNo;  // the order of the section
  std::vector<TDXF_Line> deLine;
  std::vector<TDXF_Circle> deCirc;
  std::vector<TDXF_Arc> deArc;
  std::vector<TDXF_Ellipse> deElli;
  std::vector<TDXF_Ten> deTen;
  std::vector<TDXF_Solid3> deSld3;
  std::vector<TDXF_Solid4> deSld4;
  std::vector<TDXF_Moji> deMoji;
  std::vector<TDXF_ViewPort> deVport;
  std::vector<TDXF_Block> deBlock;
  int32_t deNoN() const { return static_cast<int32_t>(deNo.size()); }
  int32_t deLineN() const { return static_cast<int32_t>(deLine.size()); }
  int32_t deCircN() const { return static_cast<int32_t>(deCirc.size()); }
  int32_t deArcN() const { return static_cast<int32_t>(deArc.size()); }
  int32_t deElliN() const { return static_cast<int32_t>(deElli.size()); }
  int32_t deTenN() const { return static_cast<int32_t>(deTen.size()); }
  int32_t deSld3N() const { return static_cast<int32_t>(deSld3.size()); }
  int32_t deSld4N() const { return static_cast<int32_t>(deSld4.size()); }
  int32_t deMojiN() const { return static_cast<int32_t>(deMoji.size()); }
  int32_t deVportN() const { return static_cast<int32_t>(deVport.size()); }
  int32_t deBlockN() const { return static_cast<int32_t>(deBlock.size()); }

  // ---- Block definitions and layer groups -----------------------------------
  std::vector<TDXF_BlockDef> deBlockDef;
  int32_t deBlockDefN() const { return static_cast<int32_t>(deBlockDef.size()); }
  std::vector<TDXF_LGroup> deLgp;  // always 16 entries

  // ---- Life and options ----------------------------------------------------
  // Back to the defaults and empty lists; Spa and AppNam stay.
  void DataInit();
  // Version codes other than 1 and 2 mean 0 ("AC1009"); sp other than 1
  // means 0.
  void SetDXFVer(int32_t v, int32_t sp);
  void SetAppName(std::u16string_view s);
  void SetPap(double Mix, double Miy, double Max, double May, double pax,
              double pay);
  void SetScale(double scl);
  void SetLayerNameType(int32_t n);
  void SetTenTransType(int32_t n, double r);
  // Distributes scales, offsets and viewports over the 16 layer groups;
  // base is the scale group.  The caller stores each group's scale in
  // deLgp[g].sc first.
  void SetLgp(int32_t base);
  void SetVPortMinMax(int32_t i, double x, double y);
  // The item last added to the ENTITIES order is drawn through viewport i
  // (1 .. deVportN() - 1; the paper viewport and other values are ignored).
  void AddVPortItem(int32_t i);
  // Sizes every viewport but the paper one to the full shapes of the items
  // drawn through it (its sampled points when it has none) plus a margin.
  void SetVPortArea();

  // ---- Symbols and names ---------------------------------------------------
  // The first pn values of pa form the pattern (clipped to pa's length).
  void AddLtype(std::u16string_view na, std::u16string_view ex, int32_t pn,
                const std::vector<double>& pa);
  std::u16string DefautLayerName(int32_t l, std::u16string_view lg,
                                 std::u16string_view ly) const;
  std::u16string AdjustLayerName(int32_t lg, int32_t ly,
                                 std::u16string_view s) const;
  // A line-type index outside 1 .. ltpn() is stored as 1 ("Continuous").
  void AddLayer(std::u16string_view na, int32_t co, int32_t lt, int32_t wd,
                bool dp, bool pr);
  void AddStyle(std::u16string_view na, std::u16string_view f1,
                std::u16string_view f2, double h, double w, double a,
                double hl, bool fl);
  // Index of the new definition, -1 when it could not be added.
  int32_t AddBlockDef(std::u16string_view na, int64_t id);
  // First definition whose IDno is id; -1 when none or id < 0.
  int32_t GetBlockIdx(int64_t id) const;
  int32_t GetBlockIdx(std::u16string_view name) const;

  // ---- Entities of the model (appended to deNo) -----------------------------
  // Room for the drawing's own entities ahead of their Add operations, a
  // hint like std::vector::reserve: up to `items` steps of the order, of
  // them up to `lines` lines and `texts` texts.  Spares a large drawing
  // copying its lists over and over while they grow.
  void ReserveEntities(size_t items, size_t lines, size_t texts);

  // A positive line-type index past ltps is stored as 1 ("Continuous"); a
  // text-style index outside msts as 0.
  bool AddLine(int32_t sp, int32_t ly, int32_t co, int32_t tp, int32_t wd,
               double px1, double py1, double px2, double py2);
  bool AddArc(int32_t sp, int32_t ly, int32_t co, int32_t tp, int32_t wd,
              double px, double py, double pr, double ph, double ps, double pd,
              double pk);
  bool AddTen(int32_t sp, int32_t ly, int32_t co, int32_t wd, int32_t cd,
              double px, double py, double pa, double pb);
  bool AddSolid3(int32_t sp, int32_t ly, int32_t co, double px1, double py1,
                 double px2, double py2, double px3, double py3);
  bool AddSolid4(int32_t sp, int32_t ly, int32_t co, double px1, double py1,
                 double px2, double py2, double px3, double py3, double px4,
                 double py4);
  bool AddMoji(int32_t sp, int32_t ly, int32_t co, int32_t tp, int32_t bs,
               int32_t fl, double px1, double py1, double px2, double py2,
               double pw, double ph, double pd, double pa,
               std::u16string_view pf, std::u16string_view ps);
  bool AddVPort(int32_t sp, double psc, double pdx, double pdy, double px,
                double py, double pw, double ph, double pvx, double pvy,
                double pvh);
  bool AddBlock(int32_t sp, int32_t ly, int32_t co, int32_t tp, int32_t wd,
                int32_t n, double px, double py, double pa, double pbx,
                double pby);

  // ---- Content of block definition bn (appended to its dmNo) ----------------
  bool AddBlockLine(int32_t bn, int32_t sp, int32_t ly, int32_t co, int32_t tp,
                    int32_t wd, double px1, double py1, double px2, double py2);
  bool AddBlockArc(int32_t bn, int32_t sp, int32_t ly, int32_t co, int32_t tp,
                   int32_t wd, double px, double py, double pr, double ph,
                   double ps, double pd, double pk);
  bool AddBlockTen(int32_t bn, int32_t sp, int32_t ly, int32_t co, int32_t wd,
                   int32_t cd, double px, double py, double pa, double pb);
  bool AddBlockSolid3(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                      double px1, double py1, double px2, double py2,
                      double px3, double py3);
  bool AddBlockSolid4(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                      double px1, double py1, double px2, double py2,
                      double px3, double py3, double px4, double py4);
  bool AddBlockMoji(int32_t bn, int32_t sp, int32_t ly, int32_t co, int32_t tp,
                    int32_t bs, int32_t fl, double px1, double py1, double px2,
                    double py2, double pw, double ph, double pd, double pa,
                    std::u16string_view pf, std::u16string_view ps);
  bool AddBlockBlock(int32_t bn, int32_t sp, int32_t ly, int32_t co,
                     int32_t tp, int32_t wd, int32_t n, double px, double py,
                     double pa, double pbx, double pby);

 private:
  // ---- Name lookups (upper-cased comparison; -1 when absent) ---------------
  int32_t GetLtypeIdx(std::u16string_view name) const;
  int32_t GetLayerIdx(std::u16string_view name) const;
  int32_t GetStyleIdx(std::u16string_view name) const;

  bool AddEntNo(int32_t tp, int32_t no);
  bool AddBlockEntNo(int32_t bn, int32_t tp, int32_t no);

  // Attribute normalisation shared by the model and block appenders.
  const TDXF_Layer* LayerOf(int32_t ly) const;
  int32_t NormCol(int32_t ly, int32_t co) const;
  int32_t NormLtp(int32_t ly, int32_t tp) const;
  int32_t NormWid(int32_t ly, int32_t wd) const;
  int32_t NormStyle(int32_t tp) const;

  TDXF_Line MakeLine(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                     int32_t wd, double px1, double py1, double px2,
                     double py2) const;
  TDXF_Ellipse MakeEllipse(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                           int32_t wd, double px, double py, double pr,
                           double ph, double ps, double pd, double pk) const;
  TDXF_Ten MakeTen(int32_t sp, int32_t ly, int32_t co, int32_t wd, int32_t cd,
                   double px, double py, double pa, double pb) const;
  TDXF_Solid3 MakeSolid3(int32_t sp, int32_t ly, int32_t co, double px1,
                         double py1, double px2, double py2, double px3,
                         double py3) const;
  TDXF_Solid4 MakeSolid4(int32_t sp, int32_t ly, int32_t co, double px1,
                         double py1, double px2, double py2, double px3,
                         double py3, double px4, double py4) const;
  TDXF_Moji MakeMoji(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                     int32_t bs, bool tate, bool syat, double px1, double py1,
                     double px2, double py2, double pw, double ph, double pd,
                     double pa, std::u16string_view pf,
                     std::u16string_view ps) const;
  TDXF_Block MakeBlock(int32_t sp, int32_t ly, int32_t co, int32_t tp,
                       int32_t wd, int32_t n, double px, double py, double pa,
                       double pbx, double pby) const;

  // Lookups bring the indexes up to date, hence mutable.
  mutable TDXFNameIndex ltpIndex_, layIndex_, styIndex_, blkIndex_;
  mutable std::unordered_map<int64_t, int32_t> blkIdIndex_;  // IDno -> first
  mutable size_t blkIdIndexed_ = 0;
  void SyncBlockIds() const;
};

}  // namespace tessa
