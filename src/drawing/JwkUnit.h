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
  ~TJwkData();

  TEntJwkHeader Enthd;
  // EntMjtp: 12; 1..10 from JwcMojiTypeDef.

  void DataInit();
  // DataInit, then the text types are released too.
  void DataFree();
  bool FileCheck(const std::string& FName);
  bool FileIn(const std::string& FName);
  // The same for a file held in memory.
  bool FileCheckMem(const uint8_t* data, size_t size);
  bool FileInMem(const uint8_t* data, size_t size);
  void SetGAttLayer();
  void GetMinMaxZahyo();
  bool FileOutDXF(const std::string& FName, int Ver);

 private:
  bool ReadHeader(TByteReader& st);
  void SplitPara(const std::u16string& text, int count);
  void ReadBody(TByteReader& st);
};

}  // namespace tessa
