// Attribute tables of the converter: the pen table (colour and point radius
// of every Jw_cad pen colour number), a layer table and a line-type table.
// Each conversion context holds one (drawing/JwConvContext.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessa {

// One pen: opaque colour 0xAARRGGBB, pen width (mm) and point radius (mm).
struct TjwvColor {
  uint32_t color = 0;
  double width = 0.0;
  double ten_r = 0.0;
};

// One layer: state 1..3, scale factor, group and layer display names.
struct TjwvLayer {
  int32_t sta = 1;
  double sca = 1.0;
  std::u16string gna;
  std::u16string nam;
};

// One line type: seg dash/gap lengths in pa (dash > 0, gap < 0), the
// amplitude of a random line and the pattern length pit.
struct TjwvLtype {
  static constexpr int kMaxSeg = 32;
  int32_t seg = 0;
  double amp = 0.0;
  std::array<double, kMaxSeg> pa{};
  double pit = 0.0;
};

class TgraAttribute {
 public:
  static constexpr int32_t kLayerCount = 256;
  static constexpr int32_t kColorCount = 265;
  static constexpr int32_t kLtypeCount = 50;

  TgraAttribute();   // sizes the tables and runs DataInit
  ~TgraAttribute();  // empties the tables
  // A copy is as good as running the set-up again (the conversion context
  // copies tables prepared once).
  TgraAttribute(const TgraAttribute&) = default;
  TgraAttribute& operator=(const TgraAttribute&) = default;

  void DataInit();

  // Pen colour number -> pen table entry: 1..9 -> 0..8, 101..356 -> 9..264,
  // anything else -> -1 (no entry).
  static int32_t AttrColIndex(int32_t n);

  // 0 light background, 1 dark background; any other value is ignored.
  // The pen table keeps its colours.
  void SetBackColor(int32_t n);
  int32_t GetBackColorNo() const { return BkColor; }

  void SetDefaultColor();
  void SetDefaultTenR();
  void SetDefaultWidth();
  void SetDefaultLtype();
  void SetDefaultLayer();

  void SetAttrLayer(int32_t n, int32_t st, double sc,
                    const std::u16string& glayname,
                    const std::u16string& layname);
  void SetAttrLayer(int32_t n, int32_t st, double sc);

  void SetAttrCol(int32_t jn, uint32_t col, double wid, double ten);
  // Colour of a pen colour number; BackColor when it has no entry.
  uint32_t GetAttrColcol(int32_t jn) const;
  // Point radius of a pen colour number; 0.1 when it has no entry.
  double GetAttrColten(int32_t jn) const;

  void SetDisplayMode(bool m) { DispMode = m; }
  void SetGrayColor(uint32_t c) { GrayColor = c; }
  void SetDispHojo(int32_t n) { DispHojo = n != 0; }
  void SetDispKijun(int32_t n) { DispKijun = n != 0; }
  void SetAll1Color(bool f) { All1ColorFlag = f; }

  // Line-type setters; an entry index outside 0..49 is ignored.
  void SetAttrTypseg_(int32_t no, int32_t seg);     // clamped to 0..32
  void SetAttrTypamp_(int32_t no, double amp);
  void SetAttrTyppa1_(int32_t no, int32_t i, double v);  // only i < seg
  void SetAttrTypPit_(int32_t no);                  // sum of |pa[0..seg)|

  bool DispMode = false;
  bool PrintMode = false;
  int32_t Sikii0 = -1;
  int32_t Sikii1 = -1;
  int32_t Sikii2 = -1;
  int32_t BkColor = 0;
  uint32_t BackColor = 0;
  uint32_t ForeColor = 0;
  uint32_t GrayColor = 0;
  bool DispHojo = false;
  bool DispKijun = false;
  bool All1ColorFlag = false;
  uint32_t All1Color = 0;
  std::vector<TjwvLayer> jwvLay;
  int32_t jwvLayN = 0;
  std::vector<TjwvColor> jwvCol;
  int32_t jwvColN = 0;
  std::vector<TjwvLtype> jwvTyp;
  int32_t jwvTypN = 0;

 private:
  TjwvLtype* Ltype(int32_t no);
};

}  // namespace tessa
