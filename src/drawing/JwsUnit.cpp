#include "drawing/JwsUnit.h"

#include "drawing/JwArchive.h"

namespace tessa {

TJwsData::TJwsData() { DataInit(); }
TJwsData::~TJwsData() { DataFree(); }

void TJwsData::DataInit() {
  EntInit();
  Enthd = TEntJwsHeader{};
}

void TJwsData::DataFree() { DataInit(); }

bool TJwsData::FileCheck(const std::string&) { return false; }
bool TJwsData::FileIn(const std::string&) { DataInit(); return false; }
bool TJwsData::FileInMem(const uint8_t*, size_t) { DataInit(); return false; }

}  // namespace tessa
