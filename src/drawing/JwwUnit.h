// JWW drawing container: header, tables and entities of one drawing of the
// Windows editions of Jw_cad, and its reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

class TgraAttribute;

class TJwwData : public TJwwBaseData {
 public:
  TEntJwwHeader Enthd;
  std::vector<TEntJwwLayer> EntLay;           // 256: index = group * 16 + layer
  std::vector<TEntJwwColorNo> EntCol;         // 10 pens
  std::vector<TEntJwwLineTypeNo> EntLtp1;     // 8 line types
  std::vector<TEntJwwRandomLineNo> EntLtp2;   // 5 random line types
  std::vector<TEntJwwLineTypeNo> EntLtp3;     // 4 further line types
  std::vector<TEntJwwColorExNo> EntColS;      // 257 extended pens (version 420+)
  std::vector<TEntJwwLineTypeExNo> EntLtpS;   // 33 extended line types (420+)
  std::vector<TEntJwwMojiType> EntMoj;        // 10 text styles
  int32_t FileOutOpt = 0;

  TJwwData();
  ~TJwwData() override;
  TJwwData(const TJwwData&) = default;
  TJwwData& operator=(const TJwwData&) = default;

  TJwFormat Format() const override { return fmtJww; }
  void DataInit() override;
  void DataFree() override;

  // Signature "JwwData." and a version in 220..700; changes nothing.
  bool FileCheckMem(const uint8_t* data, size_t size) override;
  // Reads the whole drawing; false when the reading ended early (what was
  // read stays).  The block tree is built unless the header failed.
  // The same reading from bytes already in memory.
  bool FileInMem(const uint8_t* data, size_t size) override;

  // The layer table of attrs from the drawing's groups and layers.
  bool SetGAttLayer(TgraAttribute& attrs) const;
  [[nodiscard]] TJwExtents GetMinMaxZahyo() const override;
  // Paper from the paper code nZumen.
  TJwPlacement PaperPlacement(const TJwExtents& ext) const override;
  bool BuildDxfModel(TConvContext& ctx) const override;

 private:
  bool ReadHeader(TJwArchive& ar);
  void ReadHeaderBody(TJwArchive& ar);
  void SizeTables();
};

}  // namespace tessa
