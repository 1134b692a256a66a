// JWK symbols: the fixed-record symbol format of the DOS edition of
// Jw_cad.  Same entity records as JWC (JwcUnit.h); coordinates are model
// coordinates at one drawing scale, and the text types are the defaults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/JwcUnit.h"

namespace tessa {

struct TEntJwkHeader {
  std::u16string jwID, comment1, comment2;
  int32_t lineCount = 0, arcCount = 0, tenCount = 0, mojiCount = 0;
  float org_x = 0, org_y = 0;
  float dispScale = 1.0f;
  int32_t strSpace = 0;  // size of the string block in bytes
  float scale = 1.0f;    // drawing scale denominator, never below 1e-14
  std::vector<std::u16string> para;  // work list while the header is parsed
};

class TJwkData : public TJwcEntities {
 public:
  TJwkData();
  ~TJwkData() override;

  TEntJwkHeader Enthd;
  // EntMjtp: 12; 1..10 from JwcMojiTypeDef.

  TJwFormat Format() const override { return fmtJwk; }
  void DataInit() override;
  // DataInit, then the text types are released too.
  void DataFree() override;
  bool FileCheckMem(const uint8_t* data, size_t size) override;
  bool FileInMem(const uint8_t* data, size_t size) override;
  void SetGAttLayer(TgraAttribute& attrs) const;
  // The origin is always inside.
  [[nodiscard]] TJwExtents GetMinMaxZahyo() const override;
  // A symbol's paper is its extent.
  TJwPlacement PaperPlacement(const TJwExtents& ext) const override;
  bool BuildDxfModel(TConvContext& ctx) const override;

 private:
  bool ReadHeader(TByteReader& st);
  void SplitPara(const std::u16string& text, int count);
  void ReadBody(TByteReader& st);
};

}  // namespace tessa
