#include "drawing/JwwUnit.h"

#include "drawing/JwArchive.h"

namespace tessa {

TJwwData::TJwwData() { DataInit(); }
TJwwData::~TJwwData() { DataFree(); }

void TJwwData::DataInit() {
  EntInit();
  Enthd = TEntJwwHeader{};
  EntLay.clear(); EntCol.clear(); EntLtp1.clear(); EntLtp2.clear();
  EntLtp3.clear(); EntColS.clear(); EntLtpS.clear(); EntMoj.clear();
  FileOutOpt = 0;
}

void TJwwData::DataFree() { DataInit(); }

bool TJwwData::FileCheck(const std::string&) { return false; }
bool TJwwData::FileIn(const std::string&) { DataInit(); return false; }
bool TJwwData::FileInMem(const uint8_t*, size_t) { DataInit(); return false; }

}  // namespace tessa
