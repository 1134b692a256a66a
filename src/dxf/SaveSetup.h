// What every conversion starts from: the DXF colour palette and the
// mappings of Jw_cad colours, line types and pen widths, the per-layer
// tally of colours and line types, and the standard content of a fresh
// DXF model (line types, fixed layers, text styles, point-marker block).
// The content procedures work on the model they are handed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessa {

class TDXFmodel;

// AutoCAD Color Index 0..255 as opaque colours 0xAARRGGBB (alpha 255).
extern const std::array<uint32_t, 256> DXFColorTable;

// DXF colour number 1..255 of an opaque colour (exact entry first, else the
// nearest by squared channels; 0 becomes 7).
int32_t ColorToDXFColor(uint32_t c);
// ColorToDXFColor with the answers kept: a drawing uses few pen colours but
// many entities.  One slot per colour hash, so colours met once (a solid's
// own colour) displace one answer only.  For one conversion: the palette
// must not change while it is used.
class TDxfColourMemo {
 public:
  int32_t operator()(uint32_t c) {
    TSlot& s = slot_[(c * 2654435761u) >> (32 - kBits)];
    if (!s.used || s.rgb != c) s = {c, ColorToDXFColor(c), true};
    return s.dxf;
  }

 private:
  static constexpr int kBits = 6;
  struct TSlot {
    uint32_t rgb = 0;
    int32_t dxf = 0;
    bool used = false;
  };
  TSlot slot_[1 << kBits];
};
// DXF colour number 2..7 of a JWC/JWK pen colour.
int32_t JwcColorToDXFColor(int32_t c);
// DXF line-type index 1..17 of a JWC/JWK line type.
int32_t JwcLtypeToDXFLtype(int32_t t);
// DXF line-type index 1..49 of a JWW/JWS line type.  Index 49 names no
// line type of the model (the list holds 48): users write it as 1.
int32_t JwwLtypeToDXFLtype(int32_t t);
// DXF lineweight (hundredths of a millimetre) of a JWW/JWS pen width.
int32_t PenWidthToLineWeight(int32_t w);

// Counters of one DXF drawing layer.
struct TJwLayerCount_Work {
  int32_t coln = 0;
  std::vector<int32_t> col;  // counter k: DXF colour k + 1 (empty until counted)
  int32_t colmax = 0;
  int32_t colman = -1;       // most frequent k, -1 when nothing counted
  int32_t ltpn = 0;
  std::vector<int32_t> ltp;  // counter k: line-type index k + 1 (the same)
  int32_t ltpmax = 0;
  int32_t ltpman = -1;
};

// Tally of colours and line types per drawing layer (slot group * 16 +
// layer), from which each DXF layer takes its most frequent colour and
// line type.
class TJwLayerCount {
 public:
  TJwLayerCount();
  std::vector<TJwLayerCount_Work> cn;  // 256 slots

  void JWC_Init();
  void JWW_Init();
  // lt = -1 counts the colour only.  Calls outside the layer range, or
  // before the Init, change nothing.
  void JWC_CountUp(int32_t ly, int32_t co, int32_t lt);
  void JWW_CountUp(int32_t lg, int32_t ly, uint32_t co, int32_t lt);
  void CaluMax();
  // The layer settings that a slot's tally gives: colour 7 / line type 1
  // when nothing was counted.
  int32_t LayerColor(int32_t slot) const;
  int32_t LayerLtype(int32_t slot) const;

 private:
  TDxfColourMemo colour_;
};

// Model life: DXFModelCreate frees any model left in m and creates a fresh
// one; DXFModelFree frees it (nothing when there is none).
void DXFModelCreate(std::unique_ptr<TDXFmodel>& m);
void DXFModelFree(std::unique_ptr<TDXFmodel>& m);

// Standard content of a model.  The line-type order matters: 1..18 from
// AddDefaultLtypes ("Continuous" first), 19..32 from AddSxfLtypes.
void AddDefaultLtypes(TDXFmodel& m);
void AddSxfLtypes(TDXFmodel& m);
void AddDefaultLayers(TDXFmodel& m);  // "0", "DEFPOINTS", "HOJO", "VP"
void AddDefaultStyles(TDXFmodel& m);  // "Standard", "Annotative"
// The marker block "_TRANS_TEN" for point types 2..6; sets tenidx.
void AddTenBlock(TDXFmodel& m);

}  // namespace tessa
