// JWS symbol container: the entity archive of a JWW drawing behind a short
// header (base point, sixteen layer-group scales), and its reader.
#pragma once

#include <cstdint>
#include <string>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

class TJwsData : public TJwwBaseData {
 public:
  TEntJwsHeader Enthd;

  TJwsData();
  ~TJwsData();

  void DataInit();
  void DataFree();

  // Signature "JwsData" and, 200 bytes in, a version in 230..700.
  bool FileCheck(const std::string& FName);
  bool FileIn(const std::string& FName);
  bool FileInMem(const uint8_t* data, size_t size);
  // FileCheck of a file held in memory.
  bool FileCheckMem(const uint8_t* data, size_t size);

  bool SetGAttLayer();
  void GetMinMaxZahyo();
  bool FileOutDXF(const std::string& FName, int Ver);

 private:
  bool ReadHeader(TJwArchive& ar);

  // Steps of FileOutDXF.
  void DXFLtypeSet();
  void DXFLayerSet();
  void DXFStyleSet();
  bool TenExists();
  void DXFEntitySet();
};

}  // namespace tessa
