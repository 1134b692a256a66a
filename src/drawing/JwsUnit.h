// JWS symbol container: the entity archive of a JWW drawing behind a short
// header (base point, sixteen layer-group scales), and its reader.
#pragma once

#include <cstdint>
#include <string>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

class TgraAttribute;

class TJwsData : public TJwwBaseData {
 public:
  TEntJwsHeader Enthd;

  TJwsData();
  ~TJwsData() override;
  TJwsData(const TJwsData&) = default;
  TJwsData& operator=(const TJwsData&) = default;

  TJwFormat Format() const override { return fmtJws; }
  void DataInit() override;
  void DataFree() override;

  // Signature "JwsData" and, 200 bytes in, a version in 230..700.
  bool FileCheckMem(const uint8_t* data, size_t size) override;
  bool FileInMem(const uint8_t* data, size_t size) override;

  bool SetGAttLayer(TgraAttribute& attrs) const;
  [[nodiscard]] TJwExtents GetMinMaxZahyo() const override;
  // A symbol's paper is its extent.
  TJwPlacement PaperPlacement(const TJwExtents& ext) const override;
  bool BuildDxfModel(TConvContext& ctx) const override;

 private:
  bool ReadHeader(TJwArchive& ar);
};

}  // namespace tessa
