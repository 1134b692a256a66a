// JWC drawings: the fixed-record drawing format of the DOS edition of
// Jw_cad.  The record types declared here are shared with JWK symbols
// (JwkUnit.h).  Coordinates are held in millimetres on paper, already
// multiplied by the paper-derived unit of the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "drawing/ByteReader.h"

namespace tessa {


// ---- Records shared by JWC and JWK -----------------------------------------
struct TEntJwcLine {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint8_t typ = 0, col = 0, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
};

struct TEntJwcArc2 {
  float x = 0, y = 0;   // centre
  float r = 0;          // radius
  float h = 0;          // second axis / r; 1 for a circle
  float st = 0, et = 0; // start and end angle, degrees
  float tt = 0;         // tilt, degrees
  uint8_t typ = 0, col = 0, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
};

struct TEntJwcMoji2 {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // base line of the text
  int32_t p = 0;                         // address in the string block
  uint8_t no = 0, lay = 0, flg1 = 0, flg2 = 0;  // flg1 bit 5: vertical
  std::u16string s;
};

struct TEntJwcTen {
  float x = 0, y = 0;
  uint8_t lay = 0, col = 0, flg1 = 0, flg2 = 0;
};

struct TEntJwcVten {
  float x = 0, y = 0;
  uint8_t lay = 0;
};

// Sizes in tenths of a millimetre.
struct TEntJwcMojiType {
  uint16_t penNo = 0, width = 0, height = 0, dist = 0;
};

struct TEntJwcLayerGroup {
  float scale = 0;  // scale denominator of the group
  uint8_t srchF = 0, dispF = 0, w_lay = 0;
  std::u16string name;
};

struct TEntJwcLayer {
  uint8_t srchF = 0, dispF = 0;
  std::u16string name;
};

struct TEntJwcHeader {
  std::u16string jwID, comment1, comment2;
  bool scaleF = true;  // group scales stored as singles (else as words)
  int32_t lineCount = 0, arcCount = 0, mojiCount = 0, tenCount = 0, vtenCount = 0;
  int32_t curFno = 1, curMfno = 1, curMlcol = 1, curMpcol = 1;
  float wLayScale = 1.0f;
  int32_t wLayNo = 0;
  int32_t psize = 3;
  int32_t lcol = 2, ltyp = 1;
  float plotOrgX = 0, plotOrgY = 0;
  float lpitch1 = 5.0f, lpitch2 = 10.0f;
  int32_t drawtime = 0;
  std::array<int32_t, 6> penWidth{};
  float gridX = 5.0f, gridY = 5.0f, gridOrgX = 0, gridOrgY = 0, gridScale = 0;
  int32_t drawWidth = 518;
  int32_t flgPthin = 0;
  float mvDist = 0, mtDist = 0, arLen = 3.0f, arAng = 15.0f;
  int32_t locMR = 0, flgMconma = 0, flgMzeros = 0, typLside = 0, mvUnit = 0, mvKeta = 1;
  float sOfsetXL = 0, sOfsetXM = 0, sOfsetXR = 0, sOfsetYD = 0, sOfsetYM = 0, sOfsetYT = 0;
  int32_t s1len = 0, sOrgXm = 0, sOrgYm = 0;
  float dlinDistB = 100.0f;
  std::array<float, 5> dlinDist{100.0f, 100.0f, 100.0f, 100.0f, 100.0f};
  float svScrnOX = 0, svScrnOY = 0, svScrnScl = 1.0f;
  int32_t sBufAdr1 = 393216, sBufAdr2 = 393216;  // string block, segment*16+offset
  float subZm0X = 0, subZm0Y = 0, subZm0S = 0, subZm1X = 0, subZm1Y = 0, subZm1S = 0,
        subZm2X = 0, subZm2Y = 0, subZm2S = 0, subZm3X = 0, subZm3Y = 0, subZm3S = 0,
        subZm4X = 0, subZm4Y = 0, subZm4S = 0;
  float hiIdo = 0, hiHi = 0, hiTaka = 0;
  int32_t flgHok = 0, flg25Dm = 0;
  std::vector<std::u16string> para;  // work list while the header is parsed
  float dataUnit = 1.0f;             // millimetres per stored unit
};

// Default text types 1..10 (entry 0 unused), in millimetres; filled by
// JwcUnitInit.  JWK symbols carry no text types and take these.
struct TJwcMojiTypeDef {
  int32_t pen = 0;
  double width = 0, height = 0, dist = 0;
};
extern std::array<TJwcMojiTypeDef, 11> JwcMojiTypeDef;
void JwcUnitInit();

// The entity lists JWC drawings and JWK symbols share, with how many
// entries of each were read.
class TJwcEntities {
 public:
  TJwcEntities() = default;
  TJwcEntities(const TJwcEntities&) = delete;
  TJwcEntities& operator=(const TJwcEntities&) = delete;

  int32_t lineN = 0, arcN = 0, mojiN = 0, tenN = 0;
  std::vector<TEntJwcMojiType> EntMjtp;  // 12 text types, entry 0 unused by JWK
  std::vector<TEntJwcLine> EntLine;
  std::vector<TEntJwcArc2> EntArc;
  std::vector<TEntJwcMoji2> EntMoji;
  std::vector<TEntJwcTen> EntTen;

  // Why the last FileCheck or FileIn answered false; empty after one that
  // succeeded.
  TReadReason LastError;

 protected:
  ~TJwcEntities() = default;
  // Empties the lists (text types too) and their counts.
  void ClearEntities();
};

class TJwcData : public TJwcEntities {
 public:
  TJwcData();
  ~TJwcData();

  TEntJwcHeader Enthd;
  std::vector<TEntJwcVten> EntVten;        // 101; 1..vtenCount are virtual points
  std::vector<TEntJwcLayerGroup> EntLgrp;  // 16
  std::vector<TEntJwcLayer> EntLay;        // 256, group * 16 + layer
  // EntMjtp: 12; 0..10 from the file.

  void DataInit();
  void DataFree();
  // True when the file starts with the JWC identification.
  bool FileCheck(const std::string& FName);
  // Reads the whole drawing; false on any failure (the container then
  // holds what was read before it).
  bool FileIn(const std::string& FName);
  // The same for a file held in memory.
  bool FileCheckMem(const uint8_t* data, size_t size);
  bool FileInMem(const uint8_t* data, size_t size);
  void SetGAttLayer();
  // Writes the extents globals (ExtMinX...); leaves them when empty.
  void GetMinMaxZahyo();
  // Converts the loaded drawing; false when nothing is loaded or the
  // file cannot be written.
  bool FileOutDXF(const std::string& FName, int Ver);

 private:
  bool ReadHeader(TByteReader& st);
  void SplitPara(const std::u16string& text, int count);
  void ReadBody(TByteReader& st);
};

}  // namespace tessa
