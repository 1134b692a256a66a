// JWW drawing container: header, tables and entities of one drawing of the
// Windows editions of Jw_cad, and its reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/JwwBase.h"
#include "drawing/jwwtype.h"

namespace tessa {

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
  ~TJwwData();

  void DataInit();
  void DataFree();

  // Signature "JwwData." and a version in 220..700; changes nothing.
  bool FileCheck(const std::string& FName);
  // Reads the whole drawing; false when the reading ended early (what was
  // read stays).  The block tree is built unless the header failed.
  bool FileIn(const std::string& FName);
  // The same reading from bytes already in memory.
  bool FileInMem(const uint8_t* data, size_t size);
  // FileCheck of a file held in memory.
  bool FileCheckMem(const uint8_t* data, size_t size);

  bool SetGAttLayer();
  void GetMinMaxZahyo();
  bool FileOutDXF(const std::string& FName, int Ver);

 private:
  bool ReadHeader(TJwArchive& ar);
  void ReadHeaderBody(TJwArchive& ar);
  void SizeTables();

  // Steps of FileOutDXF.
  void DXFLtypeSet();
  void DXFLayerSet();
  void DXFStyleSet();
  bool TenExists();
  void DXFEntitySet();
};

}  // namespace tessa
