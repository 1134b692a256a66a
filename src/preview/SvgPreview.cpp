#include "preview/SvgPreview.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dxf/SaveSetup.h"
#include "preview/SvgBox.h"
#include "preview/SvgItems.h"
#include "preview/SvgOut.h"
#include "util/Func_2.h"
#include "util/Math.h"

namespace tessa {

namespace {


constexpr double kEps = 1e-14;
constexpr double kDeg = M_PI / 180;
// Pen values taken from the placing insert: "by block" its own, "by
// layer" on layer "0" of a block that of the insert's layer.
constexpr int32_t kInherit = -1;
constexpr int32_t kInheritLayer = -2;
constexpr int32_t kDefaultWidth = 25;  // lineweight of "default", 1/100 mm
constexpr double kDotRadiusMm = 0.2;   // a POINT as a dot on paper
constexpr double kMarginShare = 0.02;  // picture margin, share of its size
// A DXF text's height is that of its capitals: this share of the em in
// the first font of the list (Noto Sans Mono CJK JP's capitals are 733 of
// its 1000 units).
constexpr double kCapHeight = 0.733;
constexpr double kGlyphReach = 0.25;  // share of a text's height

// What a drawing element is painted with; each distinct pen becomes one
// class of the style sheet.
enum class TPenKind : uint8_t { Stroke, Fill, Use };

//
// Line widths and dots are in em of the font size each group inherits,
// which the picture sets to the drawing units of a millimetre on paper and
// each insert divides by its scale: a line is as wide in a placed symbol,
// at whatever scale, as on a plot, and a block is written once.
// A symbol's items that take the insert's pens inherit them: "by block"
// colours as currentColor from the insert's color, layer "0" "by layer"
// colours as the stroke or fill the insert sets to its layer's colour; line
// types and widths of both from the insert's own (one property each).
struct TPen {
  TPenKind kind = TPenKind::Stroke;
  bool paper = false;      // drawn on paper: patterns in millimetres
  int32_t colour = 7;      // DXF colour 1..255, kInherit or kInheritLayer
  int32_t layerColour = 7; // an insert's: its layer's colour, or kInheritLayer
  int32_t ltype = 1;       // 1-based line type, or inherited
  int32_t width = 0;       // 1/100 mm, 0 default, or inherited

  uint64_t Key() const {
    // Colours lie in -2..255 (nine bits), line types and widths in 16.
    auto hue = [](int32_t v) { return static_cast<uint64_t>(v + 2) & 0x1FF; };
    auto field = [](int32_t v) { return static_cast<uint64_t>(static_cast<uint16_t>(v)); };
    return static_cast<uint64_t>(kind) | uint64_t{paper} << 2 | hue(colour) << 3 |
           hue(layerColour) << 12 | field(ltype) << 21 | field(width) << 37;
  }
};

// The pens met, each with its class name in order of first use.
class TPens {
 public:
  int32_t Index(const TPen& p) {
    const uint64_t key = p.Key();
    if (key == lastKey_ && last_ >= 0) return last_;
    auto [it, added] = index_.try_emplace(key, static_cast<int32_t>(pens_.size()));
    if (added) pens_.push_back(p);
    lastKey_ = key;
    last_ = it->second;
    return last_;
  }
  const std::vector<TPen>& All() const { return pens_; }

 private:
  std::unordered_map<uint64_t, int32_t> index_;
  std::vector<TPen> pens_;
  uint64_t lastKey_ = 0;
  int32_t last_ = -1;
};

std::string Hex(uint32_t argb) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s = "#";
  for (int shift = 20; shift >= 0; shift -= 4) s.push_back(kDigits[(argb >> shift) & 0xF]);
  return s;
}

// Colour 7 is drawn dark on the white paper, as a plotter draws it.
std::string ColourCss(int32_t aci) {
  if (aci < 1 || aci > 255 || aci == 7) return "#000000";
  return Hex(DXFColorTable[static_cast<size_t>(aci)]);
}

// The advance of a text in ems of a Japanese gothic font: half an em for
// ASCII and half-width katakana, a whole em for everything else (the
// characters a drawing holds beyond those are the double-byte ones).
double TextEms(std::u16string_view s) {
  double ems = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c >= 0xDC00 && c <= 0xDFFF && i > 0 && s[i - 1] >= 0xD800 && s[i - 1] <= 0xDBFF)
      continue;  // the second half of a pair
    ems += c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 0.5 : 1.0;
  }
  return ems;
}

// Where an item is drawn: inside a block definition (pens may come from
// the insert), and in which space's lengths.
struct TWhere {
  bool inBlock = false;
  bool paper = false;
};

constexpr TWhere kInBlock{true, false};

// The factor a placement scales line widths by.
double PlacementScale(double sx, double sy) {
  const double s = std::sqrt(std::fabs(sx * sy));
  return s > 0 && std::isfinite(s) ? s : 1.0;
}

class TSvgWriter {
 public:
  TSvgWriter(const TDXFmodel& m, TDXFSink& sink)
      : m_(m),
        paper_(m.Spa == 1),
        box_(PictureBox()),
        out_(sink, Decimals(box_)),
        modelUnitsPerMm_(UnitsPerMm(m)),
        sizeMm_(PictureMm()),
        modelStrokeMm_(paper_ ? modelUnitsPerMm_ : Span(box_) / sizeMm_),
        layer0_(LayerZero(m)),
        weights_(m.Ver == 1 || m.Ver == 2) {}

  bool Write() {
    CollectPens();
    Head();
    Defs();
    out_ << "<g transform=\"scale(1 -1)\" font-size=\"";
    out_.Num(StrokeMm(paper_), 9) << "\">\n";
    Order(m_.deNo, TItemLists::Of(m_), TWhere{false, paper_}, paper_ ? 1 : 0);
    EndRun();
    out_ << "</g>\n</svg>\n";
    return out_.Flush();
  }

 private:
  // ---- Picture -----------------------------------------------------------

  static double UnitsPerMm(const TDXFmodel& m) {
    const double s = DXFHeaderScale(m);
    return std::isfinite(s) && s > 0 ? s : 1.0;
  }

  static int32_t LayerZero(const TDXFmodel& m) {
    for (size_t i = 0; i < m.lays.size(); ++i)
      if (m.lays[i].nam == u"0") return static_cast<int32_t>(i);
    return -1;
  }

  // The space's extents with a margin; paper space holds at least its sheet.
  TSvgBox PictureBox() const {
    TSvgBox box = SpaceBox(m_, paper_ ? 1 : 0);
    if (paper_) {
      box.Add(0, 0);
      box.Add(m_.papx, m_.papy);
    }
    if (box.empty) {
      box.Add(0, 0);
      box.Add(1, 1);
    }
    double margin = std::max(box.Width(), box.Height()) * kMarginShare;
    // Glyphs reach past a text's box of its capitals' height: a Japanese
    // character's top and bottom lie about a fifth of that height beyond.
    for (const TDXF_Moji& t : m_.deMoji)
      if (t.spc == (paper_ ? 1 : 0) && std::isfinite(t.h))
        margin = std::max(margin, kGlyphReach * std::fabs(t.h));
    if (!(margin > 0)) margin = 1;
    if (!paper_) {
      box.Add(box.x1 - margin, box.y1 - margin);
      box.Add(box.x2 + margin, box.y2 + margin);
    }
    return box;
  }

  static double Span(const TSvgBox& b) { return std::max(b.Width(), b.Height()); }

  // The picture's larger side in millimetres: the sheet's on paper; in
  // model space the drawing's at its scale, but no smaller than a sheet A4
  // and no larger than a sheet A3, so that the lines of a small symbol do
  // not drown it and those of a site plan still show on a screen.
  double PictureMm() const {
    if (paper_) return Span(box_);
    return std::clamp(Span(box_) / modelUnitsPerMm_, 297.0, 420.0);
  }

  // Drawing units per millimetre of a line's width and of a line type's
  // pattern (the drawing's line-type scale), for items of model space or
  // of paper.  Lines are as wide on the picture as on a plot, in a viewport
  // too.
  double StrokeMm(bool paper) const { return paper ? 1.0 : modelStrokeMm_; }
  double PatternMm(bool paper) const { return paper ? 1.0 : modelUnitsPerMm_; }
  // A pattern's millimetres in em of the stroke's font size.
  double PatternEm(bool paper) const { return PatternMm(paper) / StrokeMm(paper); }

  // Enough places for a thousandth of a millimetre on a sheet of the
  // picture's size.
  static int Decimals(const TSvgBox& b) {
    const double span = std::max(b.Width(), b.Height());
    int places = 6;
    for (double p = 10; places > 0 && span >= p; p *= 10) --places;
    return places;
  }

  void Head() {
    const double mm = Span(box_) / sizeMm_;
    out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"";
    out_.Num(box_.Width() / mm, 3) << "mm\" height=\"";
    out_.Num(box_.Height() / mm, 3) << "mm\" viewBox=\"";
    out_.Num(box_.x1) << ' ';
    out_.Num(-box_.y2) << ' ';
    out_.Num(box_.Width()) << ' ';
    out_.Num(box_.Height()) << "\" color=\"#000000\">\n<style>\n";
    out_ << "text{font-family:" << kSvgFontFamily << ";white-space:pre}\n";
    const std::vector<TPen>& pens = pens_.All();
    for (size_t i = 0; i < pens.size(); ++i) PenStyle(pens[i], static_cast<int32_t>(i));
    out_ << "</style>\n<rect x=\"";
    out_.Num(box_.x1) << "\" y=\"";
    out_.Num(-box_.y2) << "\" width=\"";
    out_.Num(box_.Width()) << "\" height=\"";
    out_.Num(box_.Height()) << "\" fill=\"#ffffff\"/>\n";
  }

  static char ClassLetter(TPenKind k) {
    return k == TPenKind::Stroke ? 's' : k == TPenKind::Fill ? 'f' : 'u';
  }

  std::string ClassName(int32_t pen) const {
    return ClassLetter(pens_.All()[static_cast<size_t>(pen)].kind) + std::to_string(pen);
  }

  static bool Inherited(int32_t v) { return v == kInherit || v == kInheritLayer; }

  // A pen's colour as the property `what` (fill, stroke); inherited from
  // an insert's layer it is the property the insert sets, left alone.
  void Paint(const char* what, int32_t colour) {
    if (colour == kInheritLayer) return;
    out_ << what << ':' << (colour == kInherit ? "currentColor" : ColourCss(colour)) << ';';
  }

  void PenStyle(const TPen& p, int32_t index) {
    out_ << '.' << ClassName(index) << '{';
    if (p.kind == TPenKind::Fill) {
      Paint("fill", p.colour);
      out_ << "stroke:none}\n";
      return;
    }
    if (p.kind == TPenKind::Stroke) {
      out_ << "fill:none;";
      Paint("stroke", p.colour);
    } else {
      // What the symbol's items inherit: "by block" pens from color, layer
      // "0" ones from stroke and fill.
      if (!Inherited(p.colour)) Paint("color", p.colour);
      if (!Inherited(p.layerColour)) {
        Paint("stroke", p.layerColour);
        Paint("fill", p.layerColour);
      }
    }
    if (!Inherited(p.width)) {
      out_ << "stroke-width:";
      out_.Num(WidthMm(p.width), 4) << "em;";
    }
    if (!Inherited(p.ltype)) Dashes(p.ltype, p.width, p.paper);
    out_ << "}\n";
  }

  static double WidthMm(int32_t width) {
    return (width > 0 ? width : kDefaultWidth) / 100.0;
  }

  // The line type's pattern at the drawing's line-type scale: dashes and
  // gaps alternate, a dot is a dash as long as the line is wide.
  void Dashes(int32_t ltype, int32_t width, bool paper) {
    const double mm = PatternEm(paper);
    const TDXF_Ltype* t = At(m_.ltps, ltype - 1);
    std::vector<double> runs;  // dash, gap, dash, ...
    bool anyGap = false;
    if (t) {
      const double dot = Inherited(width) ? WidthMm(0) : WidthMm(width);
      for (double e : t->pt) {
        if (!std::isfinite(e)) continue;
        const bool gap = e < 0;
        const double len = e == 0 ? dot : std::fabs(e) * mm;
        anyGap |= gap && len > 0;
        const size_t parity = gap ? 1 : 0;  // dashes at even places, gaps at odd
        if (runs.empty() && gap) runs.push_back(0);
        if (!runs.empty() && (runs.size() - 1) % 2 == parity)
          runs.back() += len;
        else
          runs.push_back(len);
      }
    }
    if (!anyGap) {
      out_ << "stroke-dasharray:none;";
      return;
    }
    out_ << "stroke-dasharray:";
    for (size_t i = 0; i < runs.size(); ++i) {
      if (i) out_ << ',';
      out_.Num(runs[i], 6) << "em";
    }
    out_ << ';';
  }

  // ---- Pens --------------------------------------------------------------

  // The pen of an item of layer lay with colour col, line type typ and
  // lineweight wid as the model codes them; false when its layer is hidden.
  bool PenOf(TPenKind kind, const TWhere& w, int32_t lay, int32_t col, int32_t typ,
             int32_t wid, TPen& pen) const {
    const TDXF_Layer* l = At(m_.lays, lay);
    if (l && !l->dsp) return false;
    // Inside a block, layer "0" stands for the insert's layer.
    const bool layerFromInsert = w.inBlock && (!l || lay == layer0_);
    auto pick = [&](int32_t own, int32_t layers) {
      if (own > 0) return own;
      if (own == -1 && w.inBlock) return kInherit;
      if (own == 0 && layerFromInsert) return kInheritLayer;
      return layers;
    };
    pen.kind = kind;
    pen.paper = w.paper;
    const int32_t layerColour = l ? std::abs(l->col) : 7;
    pen.colour = pick(col, layerColour);
    if (pen.colour > 255) pen.colour = 7;
    pen.layerColour = layerFromInsert ? kInheritLayer : std::min(layerColour, 255);
    // An insert on layer "0" of a block with its colour "by layer" has the
    // colour of the outer insert's layer as its own; a style sheet cannot
    // hand a stroke on as color, so it takes the outer insert's own colour,
    // the same unless that insert has a colour of its own.
    if (kind == TPenKind::Use && pen.colour == kInheritLayer) pen.colour = kInherit;
    if (kind == TPenKind::Fill) {
      pen.ltype = pen.width = 0;
      return true;
    }
    pen.ltype = pick(typ, l ? l->ltp : 1);
    if (!Inherited(pen.ltype) && (pen.ltype < 1 || pen.ltype > m_.ltpn())) pen.ltype = 1;
    pen.width = weights_ ? pick(wid, l ? l->wid : 0) : 0;
    if (!Inherited(pen.width) && pen.width < 0) pen.width = 0;
    return true;
  }

  int32_t Pen(TPenKind kind, const TWhere& w, int32_t lay, int32_t col, int32_t typ,
              int32_t wid) {
    TPen pen;
    if (!PenOf(kind, w, lay, col, typ, wid, pen)) return -1;
    return pens_.Index(pen);
  }

  // The pen each kind of item is drawn with; -1 when it is not drawn.
  int32_t PenFor(const TDXF_Line& e, const TWhere& w) { return Stroke(e, w); }
  int32_t PenFor(const TDXF_Circle& e, const TWhere& w) { return Stroke(e, w); }
  int32_t PenFor(const TDXF_Arc& e, const TWhere& w) { return Stroke(e, w); }
  int32_t PenFor(const TDXF_Ellipse& e, const TWhere& w) { return Stroke(e, w); }
  int32_t PenFor(const TDXF_Solid3& e, const TWhere& w) { return Pen(TPenKind::Fill, w, e.lay, e.col, 0, 0); }
  int32_t PenFor(const TDXF_Solid4& e, const TWhere& w) { return Pen(TPenKind::Fill, w, e.lay, e.col, 0, 0); }
  int32_t PenFor(const TDXF_Moji& e, const TWhere& w) {
    if (!(e.h > 0) || DelSpace(e.st).empty()) return -1;
    return Pen(TPenKind::Fill, w, e.lay, e.col, 0, 0);
  }
  int32_t PenFor(const TDXF_Ten& e, const TWhere& w) {
    switch (m_.tentyp) {
      case 0: return Pen(TPenKind::Fill, w, e.lay, e.col, 0, 0);
      case 1: return Pen(TPenKind::Stroke, w, e.lay, e.col, 1, e.wid);
      case 2: case 3: case 4: case 5: case 6:
        if (!At(m_.deBlockDef, m_.tenidx)) return -1;
        return Pen(TPenKind::Use, w, e.lay, e.col, 1, e.wid);
      default: return -1;
    }
  }
  int32_t PenFor(const TDXF_Block& e, const TWhere& w) {
    if (!At(m_.deBlockDef, e.bln)) return -1;
    return Pen(TPenKind::Use, w, e.lay, e.col, e.typ, e.wid);
  }

  static double InsertScale(double s) { return std::fabs(s) > kEps ? s : 1.0; }
  static double MarkerScale(const TDXF_Ten& e) { return std::fabs(e.ba) > kEps ? e.ba : 1.0; }

  // The symbol of a block, made known on first use.
  void Placed(int32_t block) {
    std::vector<bool>::reference seen = placed_[static_cast<size_t>(block)];
    if (seen) return;
    seen = true;
    symbols_.push_back(block);
  }
  int32_t PenFor(const TDXF_ViewPort&, const TWhere&) { return -1; }

  template <class E>
  int32_t Stroke(const E& e, const TWhere& w) {
    return Pen(TPenKind::Stroke, w, e.lay, e.col, e.typ, e.wid);
  }

  // Every pen the picture uses, ahead of the style sheet.
  void CollectPens() {
    auto collect = [&](const std::vector<TDXF_EntNo>& order, const TItemLists& lists,
                       const TWhere& w, int32_t spc) {
      for (const TDXF_EntNo& e : order)
        VisitItem(e, lists, [&](const auto& item) {
          if (!Drawn(item.spc, w, spc) || PenFor(item, w) < 0) return;
          using T = std::decay_t<decltype(item)>;
          if constexpr (std::is_same_v<T, TDXF_Block>) Placed(item.bln);
          if constexpr (std::is_same_v<T, TDXF_Ten>)
            if (m_.tentyp >= 2) Placed(m_.tenidx);
        });
    };
    placed_.assign(m_.deBlockDef.size(), false);
    const TItemLists lists = TItemLists::Of(m_);
    if (paper_) collect(m_.deNo, lists, TWhere{false, false}, 0);
    collect(m_.deNo, lists, TWhere{false, paper_}, paper_ ? 1 : 0);
    // The symbols the drawing places, and those they place in turn.
    for (size_t i = 0; i < symbols_.size(); ++i) {
      const TDXF_BlockDef& b = m_.deBlockDef[static_cast<size_t>(symbols_[i])];
      collect(b.dmNo, TItemLists::Of(b), kInBlock, 0);
    }
  }

  // Items of a block are drawn wherever the DXF file holds them; items
  // of the model only in the space being drawn.
  bool Drawn(int32_t itemSpc, const TWhere& w, int32_t spc) const {
    return svg::Written(m_, itemSpc) && (w.inBlock || itemSpc == spc);
  }

  // ---- Definitions -------------------------------------------------------

  void Defs() {
    out_ << "<defs>\n";
    for (int32_t block : symbols_) {
      const TDXF_BlockDef& b = m_.deBlockDef[static_cast<size_t>(block)];
      out_ << "<symbol id=\"b";
      out_.Int(block) << "\" overflow=\"visible\">\n";
      Order(b.dmNo, TItemLists::Of(b), kInBlock, 0);
      EndRun();
      out_ << "</symbol>\n";
    }
    if (paper_) {
      // What the viewports show.
      out_ << "<g id=\"model\">\n";
      Order(m_.deNo, TItemLists::Of(m_), TWhere{false, false}, 0);
      EndRun();
      out_ << "</g>\n";
    }
    out_ << "</defs>\n";
  }

  // ---- Items -------------------------------------------------------------

  void Order(const std::vector<TDXF_EntNo>& order, const TItemLists& lists, const TWhere& w,
             int32_t spc) {
    for (const TDXF_EntNo& e : order)
      VisitItem(e, lists, [&](const auto& item) {
        if (!Drawn(item.spc, w, spc)) return;
        Draw(item, w);
      });
  }

  // Starts an element <tag of pen.  Items of one pen in a row share a
  // group of its class; a lone one carries the class itself.  The first
  // item of a run waits in the buffer until the next shows which it is.
  void Item(int32_t pen, const char* tag) {
    if (pen != run_) {
      EndRun();
      run_ = pen;
      out_.Hold();
      runAt_ = out_.Size();
    } else if (runItems_ == 1) {
      out_.Insert(runAt_, "<g class=\"" + ClassName(pen) + "\">\n");
      out_.Release();
    }
    out_ << '<' << tag;
    if (++runItems_ == 1) classAt_ = out_.Size();
  }
  void EndRun() {
    if (runItems_ == 1) {
      out_.Insert(classAt_, " class=\"" + ClassName(run_) + '"');
      out_.Release();
    } else if (runItems_ > 1) {
      out_ << "</g>\n";
    }
    run_ = -1;
    runItems_ = 0;
  }

  void Pt(double x, double y) {
    out_.Num(x) << ' ';
    out_.Num(y);
  }

  void Draw(const TDXF_Line& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0) return;
    Item(pen, "path");
    out_ << " d=\"M";
    Pt(e.x1, e.y1);
    out_ << 'L';
    Pt(e.x2, e.y2);
    out_ << "\"/>\n";
  }

  void Circle(int32_t pen, double x, double y, double r, const char* unit = "") {
    Item(pen, "circle");
    out_ << " cx=\"";
    out_.Num(x) << "\" cy=\"";
    out_.Num(y) << "\" r=\"";
    out_.Num(std::fabs(r)) << unit << "\"/>\n";
  }

  void Draw(const TDXF_Circle& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen >= 0) Circle(pen, e.x, e.y, e.r);
  }

  // An arc from one point to another of an ellipse with radii rx, ry whose
  // first axis is turned by tilt degrees; ccw: counter-clockwise in the
  // drawing, where y runs up.
  void ArcTo(double rx, double ry, double tilt, bool large, bool ccw, double x, double y) {
    out_ << 'A';
    out_.Num(rx) << ' ';
    out_.Num(ry) << ' ';
    out_.Num(tilt, 4) << ' ' << (large ? '1' : '0') << ' ' << (ccw ? '1' : '0') << ' ';
    Pt(x, y);
  }

  void Draw(const TDXF_Arc& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0 || !(std::fabs(e.da) > kEps)) return;
    if (std::fabs(e.da) >= 360) {
      Circle(pen, e.x, e.y, e.r);
      return;
    }
    const double r = std::fabs(e.r), a0 = e.sa * kDeg, a1 = (e.sa + e.da) * kDeg;
    Item(pen, "path");
    out_ << " d=\"M";
    Pt(e.x + r * math::Cos(a0), e.y + r * math::Sin(a0));
    ArcTo(r, r, 0, std::fabs(e.da) > 180, e.da > 0, e.x + r * math::Cos(a1),
          e.y + r * math::Sin(a1));
    out_ << "\"/>\n";
  }

  void Draw(const TDXF_Ellipse& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0) return;
    const double tilt = e.ka * kDeg, rx = std::fabs(e.r), ry = std::fabs(e.r * e.he);
    // A negative radius or ratio mirrors the curve and so its direction.
    const bool mirrored = (e.r < 0) != (e.he < 0);
    auto point = [&](double deg, double& x, double& y) {
      EllipsePoint(e.x, e.y, e.r, e.he, tilt, deg * kDeg, x, y);
    };
    const bool whole = std::fabs(e.da) <= kEps || std::fabs(e.da) >= 360;
    const double from = whole ? 0.0 : e.sa, sweep = whole ? 360.0 : e.da;
    double x = 0, y = 0;
    point(from, x, y);
    Item(pen, "path");
    out_ << " d=\"M";
    Pt(x, y);
    // Halves at most, so that every piece has one shape.
    const int pieces = std::fabs(sweep) > 180 ? 2 : 1;
    for (int k = 1; k <= pieces; ++k) {
      point(from + sweep * k / pieces, x, y);
      ArcTo(rx, ry, e.ka, false, (sweep > 0) != mirrored, x, y);
    }
    if (whole) out_ << 'Z';
    out_ << "\"/>\n";
  }

  void Draw(const TDXF_Ten& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0) return;
    switch (m_.tentyp) {
      case 0:  // a dot, as large as on paper: in em, as line widths
        Circle(pen, e.x, e.y, kDotRadiusMm, "em");
        return;
      case 1:
        Circle(pen, e.x, e.y, m_.tenrad * e.ba);
        return;
      default: {
        const double s = MarkerScale(e);
        Use(m_.tenidx, pen, e.x, e.y, e.a, s, s);
        return;
      }
    }
  }

  void Draw(const TDXF_Solid3& e, const TWhere& w) {
    Filled(PenFor(e, w), {{e.x1, e.y1}, {e.x2, e.y2}, {e.x3, e.y3}});
  }

  void Draw(const TDXF_Solid4& e, const TWhere& w) {
    Filled(PenFor(e, w), {{e.x1, e.y1}, {e.x2, e.y2}, {e.x3, e.y3}, {e.x4, e.y4}});
  }

  // A closed outline through the corners, in the pen's fill.
  void Filled(int32_t pen, std::initializer_list<std::pair<double, double>> corners) {
    if (pen < 0) return;
    Item(pen, "path");
    char step = 'M';
    out_ << " d=\"";
    for (const auto& [x, y] : corners) {
      out_ << step;
      Pt(x, y);
      step = 'L';
    }
    out_ << "Z\"/>\n";
  }

  // A text from its first point along its base line to its second, as
  // the DXF file aligns it: a horizontal text at its height, stretched to
  // fill that line; a vertical one (written as an aligned text) fills the
  // line at its width factor, its height following.  Without a base line
  // it runs from its point at its own width.  Not every renderer
  // stretches a text to its textLength, so the stretch is in the transform
  // too, worked out from the width the text has in a Japanese gothic font
  // of half-width ASCII; textLength then only mends what that guess missed.
  void Draw(const TDXF_Moji& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0) return;
    const double dx = e.x2 - e.x1, dy = e.y2 - e.y1, length = math::Hypot(dx, dy);
    const bool fits = length > kEps;
    const double angle = fits ? math::Atan2(dy, dx) / kDeg : e.a;
    const double ems = TextEms(e.st);
    double widthFactor = e.h > 0 ? e.w / e.h : 1.0;
    if (!std::isfinite(widthFactor) || !(widthFactor > 0)) widthFactor = 1.0;
    double size = e.h / kCapHeight;
    if (e.tate && fits && ems > 0) size = length / (ems * widthFactor);
    const double natural = ems * size;
    double stretch = fits && natural > 0 ? length / natural : widthFactor;
    if (!std::isfinite(stretch) || stretch <= 0) stretch = 1.0;
    Item(pen, "text");
    out_ << " transform=\"translate(";
    Pt(e.x1, e.y1);
    out_ << ')';
    if (std::fabs(angle) > 1e-9) {
      out_ << "rotate(";
      out_.Num(angle, 4) << ')';
    }
    out_ << "scale(";
    out_.Num(stretch, 6) << " -1)";
    if (e.syat) out_ << "skewX(-28)";
    out_ << "\" font-size=\"";
    out_.Num(size) << '"';
    if (fits) {
      out_ << " textLength=\"";
      out_.Num(natural) << "\" lengthAdjust=\"spacingAndGlyphs\"";
    }
    out_ << '>';
    out_.Text(e.st);
    out_ << "</text>\n";
  }

  // Paper space shows model space through each viewport, clipped to its
  // box; the first viewport is the sheet's own view.
  void Draw(const TDXF_ViewPort& e, const TWhere& w) {
    if (w.inBlock || e.spc == 0 || e.id <= 1 || !paper_) return;
    if (!(e.vh > 0) || !(e.w > 0) || !(e.h > 0)) return;
    const double s = e.h / e.vh;
    if (!std::isfinite(s)) return;
    EndRun();
    out_ << "<clipPath id=\"v";
    out_.Int(e.id) << "\"><rect x=\"";
    out_.Num(e.cx - e.w / 2) << "\" y=\"";
    out_.Num(e.cy - e.h / 2) << "\" width=\"";
    out_.Num(e.w) << "\" height=\"";
    out_.Num(e.h) << "\"/></clipPath>\n<g clip-path=\"url(#v";
    // Lines as wide as on the sheet: the font size of their em shrinks
    // by the viewport's scale.
    out_.Int(e.id) << ")\"><use xlink:href=\"#model\" font-size=\"";
    out_.Num(1 / s, 9) << "em\" transform=\"matrix(";
    out_.Num(s, 9) << " 0 0 ";
    out_.Num(s, 9) << ' ';
    Pt(e.cx - e.vx * s, e.cy - e.vy * s);
    out_ << ")\"/></g>\n";
  }

  void Draw(const TDXF_Block& e, const TWhere& w) {
    const int32_t pen = PenFor(e, w);
    if (pen < 0) return;
    Use(e.bln, pen, e.x, e.y, e.a, InsertScale(e.bx), InsertScale(e.by));
  }

  // An insert of the symbol of `block`; its pen is what the block's items
  // inherit, its font size the drawing units of a millimetre of line width
  // inside it.
  void Use(int32_t block, int32_t pen, double x, double y, double a, double sx, double sy) {
    EndRun();
    out_ << "<use xlink:href=\"#b";
    out_.Int(block) << "\" class=\"" << ClassName(pen) << '"';
    const double s = PlacementScale(sx, sy);
    if (std::fabs(s - 1) > kEps) {
      out_ << " font-size=\"";
      out_.Num(1 / s, 9) << "em\"";
    }
    out_ << " transform=\"translate(";
    Pt(x, y);
    out_ << ')';
    if (std::fabs(a) > 1e-10) {
      out_ << "rotate(";
      out_.Num(a, 6) << ')';
    }
    if (std::fabs(sx - 1) > kEps || std::fabs(sy - 1) > kEps) {
      out_ << "scale(";
      out_.Num(sx, 9) << ' ';
      out_.Num(sy, 9) << ')';
    }
    out_ << "\"/>\n";
  }

  const TDXFmodel& m_;
  const bool paper_;
  const TSvgBox box_;
  TSvgOut out_;
  const double modelUnitsPerMm_;  // the drawing scale
  const double sizeMm_;           // the picture's larger side
  const double modelStrokeMm_;
  const int32_t layer0_;
  const bool weights_;  // R12 has no lineweights
  TPens pens_;
  std::vector<int32_t> symbols_;  // the blocks placed, in order of first use
  std::vector<bool> placed_;      // by block
  int32_t run_ = -1;              // the pen of the items in a row, -1 none
  int32_t runItems_ = 0;
  size_t runAt_ = 0;    // where the run's first item starts in the output
  size_t classAt_ = 0;  // where its class goes when it stays alone
};

}  // namespace

TDXFWriteResult SavePreviewSvg(const TDXFmodel& m, TDXFSink& out) {
  return WriteToSink(out, "SVG", [&](TDXFWriteResult&) { return TSvgWriter(m, out).Write(); });
}

TDXFWriteResult SavePreviewSvgFile(const TDXFmodel& m, const std::string& dst, bool replace) {
  return WriteToFile(dst, replace, [&](TDXFSink& out) { return SavePreviewSvg(m, out); });
}

}  // namespace tessa
