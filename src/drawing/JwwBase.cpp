#include "drawing/JwwBase.h"

#include "drawing/JwArchive.h"

namespace tessa {

TJwwBaseData::~TJwwBaseData() = default;

void TJwwBaseData::EntInit() {
  EntLgrp.clear();
  EntNo.clear();
  EntLine.clear(); EntLineN = 0;
  EntEnko.clear(); EntEnkoN = 0;
  EntTen.clear(); EntTenN = 0;
  EntMoji.clear(); EntMojiN = 0;
  EntSunpo.clear(); EntSunpoN = 0;
  EntSolid.clear(); EntSolidN = 0;
  EntBlock.clear(); EntBlockN = 0;
  EntBlockDef.clear(); EntBlockDefN = 0;
  EntBlockTree.clear(); EntBlockTreeN = 0;
  EntBlockNum = 0;
  BindImageInit();
}

void TJwwBaseData::BindImageInit() {
  BindImage.clear();
  BindImageN = 0;
}

void TJwwBaseData::MakeBlockTree() {}
void TJwwBaseData::BindImageExplode() {}
void TJwwBaseData::BindImageDeleteGzFile() {}
void TJwwBaseData::BindImageDeleteNonGzFile() {}
std::string TJwwBaseData::BindImagePath(int) const { return {}; }
std::string TJwwBaseData::BindImagePlainPath(int) const { return {}; }
bool TJwwBaseData::SafeImageName(const std::u16string&) { return false; }

}  // namespace tessa
