// Records of the two Jw_cad archive formats (JWW drawings, JWS symbols).
//
// In memory the records are plain structs; only the files have the packed
// layout, which the readers in JwwBase.cpp decode field by field.  Field
// names carry units: rad* radians, deg* degrees, d* doubles, n*/l*/an*
// integers, str* texts, b* flags.  Coordinates are millimetres on the paper
// measured from the paper's centre (real size = value x layer-group scale).
//
// Arrays documented as "indexed 1..N" keep the drawing program's own 1-based
// numbering: they hold N + 1 elements and element 0 is unused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessa {

// Common attribute of every entity: 15 bytes in files of version 351 and
// later, 13 bytes (no nPenWidth) before.
struct TEntJwwAttr {
  uint32_t lGroup = 0;     // curve attribute (group) number
  uint8_t nPenStyle = 0;   // line type; 100 in a point = point with extended data
  uint16_t nPenColor = 0;  // pen colour; 10 in a solid = solid with own RGB colour
  uint16_t nPenWidth = 0;  // 0 for files older than version 351
  uint16_t nLayer = 0;     // layer 0..15 within the group (larger values occur)
  uint16_t nGLayer = 0;    // layer group 0..15 (larger values occur)
  uint16_t sFlg = 0;       // flag bits; 0x20 in a text = vertical writing
};

// Line.  47 bytes stored.
struct TEntJwwLine {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
};

// Arc, circle or ellipse.  75 bytes stored.
struct TEntJwwEnko {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0;  // centre
  double dHankei = 0;               // radius (major half axis)
  double radKaishiKaku = 0;         // start angle
  double radEnkoKaku = 0;           // sweep angle
  double radKatamukiKaku = 0;       // tilt of the major axis
  double dHenpeiRitsu = 0;          // minor / major; 1 for a circle
  uint32_t bZenEnFlg = 0;           // non-zero: full circle or ellipse
};

// Point.  35 bytes stored, plus 20 (nCode, radKaitenKaku, dBairitsu) when
// att.nPenStyle = 100.  Without that tail nCode = 0, radKaitenKaku = 0 and
// dBairitsu = 1 (in a dimension's sub-points all three are 0).
struct TEntJwwTen {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0;
  uint32_t bKariten = 0;  // 1: temporary point
  uint32_t nCode = 0;     // point code
  double radKaitenKaku = 0;
  double dBairitsu = 0;
};

// Text.  83 fixed bytes stored, then strFontName and str as counted strings.
struct TEntJwwMoji {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  uint32_t nMojiShu = 0;  // text style number + multiples of 10000 for flags
  double dSizeX = 0;      // character width
  double dSizeY = 0;      // character height
  double dKankaku = 0;    // character spacing
  double degKakudo = 0;   // direction in DEGREES
  std::u16string strFontName;
  std::u16string str;
};

// Dimension.  bSxfMode, Ho1, Ho2, Te1, Te2, Kt1, Kt2 carry data only for
// files of version 420 and later; older files give the six sub-records the
// dimension's own attribute and zero coordinates (points: nPenStyle 0).
struct TEntJwwSunpo {
  TEntJwwAttr att;
  TEntJwwLine Sen;   // the dimension line
  TEntJwwMoji Moji;  // the dimension text
  uint16_t bSxfMode = 0;
  TEntJwwLine Ho1, Ho2;
  TEntJwwTen Te1, Te2, Kt1, Kt2;
};

// Filled quadrilateral.  79 bytes stored, plus 4 (Color) when
// att.nPenColor = 10.  With att.nPenStyle above 100 the record holds an arc
// (centre start, radius end_x, ratio end_y, tilt DPoint2_x).
struct TEntJwwSolid {
  TEntJwwAttr att;
  double start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  double DPoint2_x = 0, DPoint2_y = 0, DPoint3_x = 0, DPoint3_y = 0;
  uint32_t Color = 0;  // 0x00BBGGRR; 0 unless att.nPenColor = 10
};

// Block insert.  59 bytes stored.
struct TEntJwwBlock {
  TEntJwwAttr att;
  double DPKijunTen_x = 0, DPKijunTen_y = 0;  // insertion point
  double dBairitsuX = 0, dBairitsuY = 0;      // scales
  double radKaitenKaku = 0;                   // rotation
  uint32_t nNumber = 0;                       // number of the placed definition
};

// Entity kinds of TEntJwwNo::EntType.  0 marks a slot left empty because
// reading that entity failed; consumers skip it.
enum : int32_t {
  jwEntNone = 0,
  jwEntLine = 1,
  jwEntEnko = 2,
  jwEntTen = 3,
  jwEntMoji = 4,
  jwEntSunpo = 5,
  jwEntSolid = 6,
  jwEntBlock = 7,
};

// One entry of the file order: kind and zero-based index into that kind's
// array.
struct TEntJwwNo {
  int32_t EntType = 0;
  int32_t EntNo = 0;
};

// Block definition with its own entity arrays (coordinates relative to the
// definition's origin).  The N counts are authoritative; mNo lists the
// entities in file order.
struct TEntJwwBlockDef {
  TEntJwwAttr att;
  uint32_t nNumber = 0;   // what TEntJwwBlock::nNumber refers to
  uint32_t bRefferd = 0;  // as stored
  uint32_t dtime = 0;     // as stored, or the 1-based ordinal (top bit was set)
  std::u16string strName;
  int32_t N = 0;  // number of entities (length of mNo)
  std::vector<TEntJwwNo> mNo;
  int32_t mLineN = 0, mEnkoN = 0, mTenN = 0, mMojiN = 0, mSunpoN = 0,
          mSolidN = 0, mBlockN = 0;
  std::vector<TEntJwwLine> mLine;
  std::vector<TEntJwwEnko> mEnko;
  std::vector<TEntJwwTen> mTen;
  std::vector<TEntJwwMoji> mMoji;
  std::vector<TEntJwwSunpo> mSunpo;
  std::vector<TEntJwwSolid> mSolid;
  std::vector<TEntJwwBlock> mBlock;
  bool ref_flag = false;  // some placed copy uses this definition
  int32_t ref_no = -1;    // serial number among used definitions, -1 unused
};

// One placed copy of a block, nested copies included.  A point (u, v) of
// the definition lies at (x + r1*u + r2*v, y + r3*u + r4*v).
struct TEntJwwBlockTree {
  TEntJwwAttr att;     // of the insert (top level) or of the enclosing definition
  int32_t level = 0;   // 0 at the top
  int32_t parent = -1; // index of the parent entry, -1 at the top
  uint32_t no = 0;     // number of the placed definition
  int32_t defno = -1;  // index into EntBlockDef, -1 when no definition has `no`
  std::u16string name;
  double x = 0, y = 0;
  double r1 = 0, r2 = 0, r3 = 0, r4 = 0;
};

// ---- Tables ----------------------------------------------------------------

struct TEntJwwLayerGroup {
  int32_t anGLay = 0;       // state of the group
  int32_t anWriteLay = 0;   // layer being written
  double adScale = 0;       // scale denominator (100 for 1:100)
  int32_t anGLayProtect = 0;
  std::u16string aStrGLayName;
};

struct TEntJwwLayer {
  int32_t aanLay = 0;  // state
  int32_t aanLayProtect = 0;
  std::u16string aStrLayName;
};

struct TEntJwwColorNo {
  int32_t aPenColor = 0;  // 0x00BBGGRR
  int32_t anPenWidth = 0;
  int32_t aPrtPenColor = 0;
  int32_t anPrtPenWidth = 0;
  double adPrtTenHankei = 0;  // printed point radius
};

struct TEntJwwLineTypeNo {
  int32_t alLType = 0;  // bit pattern
  int32_t anTokushuSenUintDot = 0;
  int32_t anTokushuSenPich = 0;
  int32_t anPrtTokushuSenPich = 0;
};

struct TEntJwwRandomLineNo {
  int32_t alLType = 0;
  int32_t anRandSenWide = 0;
  int32_t anTokushuSenPich = 0;
  int32_t anPrtRandSenWide = 0;
  int32_t anPrtTokushuSenPich = 0;
};

struct TEntJwwColorExNo {
  int32_t aPenColor = 0;
  int32_t anPenWidth = 0;
  std::u16string astrUDColorName;
  int32_t aPrtPenColor = 0;
  int32_t anPrtPenWidth = 0;
  double adPrtTenHankei = 0;
};

struct TEntJwwLineTypeExNo {
  int32_t alLType = 0;
  int32_t anTokushuSenUintDot = 0;
  int32_t anTokushuSenPich = 0;
  int32_t anPrtTokushuSenPich = 0;
  std::u16string astrUDLTypeName;
  int32_t anUDLTypeSegment = 0;
  std::array<double, 11> aadUDLTypePitch{};  // indexed 1..10, [0] unused
};

struct TEntJwwMojiType {
  double adMojiX = 0;  // width
  double adMojiY = 0;  // height
  double adMojiD = 0;  // spacing
  int32_t anMojiCol = 0;
};

// An image bound into a JWW drawing (version 700 and later).
struct TBindImageType {
  std::u16string Fname;  // file name as stored in the drawing
  int32_t Fsize = 0;     // byte count
  bool exf = false;      // not set by the reader
};

// ---- Headers ---------------------------------------------------------------

struct TEntJwwHeader {
  std::u16string jwID;
  int32_t jwVer = 0;
  std::u16string strMemo;
  int32_t nZumen = 0;  // paper size code
  int32_t nWriteGLay = 0;
  int32_t lnSunpou1 = 0, lnSunpou2 = 0, lnSunpou3 = 0, lnSunpou4 = 0, lnSunpou5 = 0;
  int32_t nMaxDrawWid = 0;
  bool bSenHaba100 = false;    // derived from nMaxDrawWid
  int32_t nMaxDrawWidBak = 0;  // derived from nMaxDrawWid
  double DPPrtGenten_x = 0, DPPrtGenten_y = 0;
  double dPrtBairitsu = 1;
  int32_t nPrtSet = 0, nMemoriMode = 0;
  double dMemoriHyoujiMin = 1, dMemoriX = 1, dMemoriY = 1;
  double DpMemoriKjTen_x = 0, DpMemoriKjTen_y = 0;
  double dKageLevel = 0, dKageIdo = 0;
  int32_t nKage9_15JiFlg = 0;
  double dKabeKageLevel = 0, dTenkuuZuLevel = 0, dTenkuuZuEnkoR = 0;
  int32_t nMMTani3D = 0;
  double dBairitsu = 1;
  double DPGenten_x = 0, DPGenten_y = 0;
  double dHanniBairitsu = 1;
  double DPHanniGenten_x = 0, DPHanniGenten_y = 0;
  // indexed 1..8, [0] unused
  std::array<double, 9> dZoomJumpBairitsu{1, 1, 1, 1, 1, 1, 1, 1, 1};
  std::array<double, 9> DPZoomJumpGenten_x{};
  std::array<double, 9> DPZoomJumpGenten_y{};
  std::array<int32_t, 9> nZoomJumpGLay{-1, -1, -1, -1, -1, -1, -1, -1, -1};
  double dDm11 = 0, dDm12 = 0, dDm13 = 0;
  int32_t lnDm1 = 0;
  double dDm21 = 0, dDm22 = 0, dMojiBG = 0;
  int32_t nMojiBG = 0;
  std::array<double, 10> adFukusenSuuchi{};  // indexed 0..9
  double dRyougawaFukusenTomeDe = 0;
  int32_t nDrawGamenTen = 0, nDrawPrtTen = 0, nBitMapFirstDraw = 0,
          nGyakuDraw = 0, nGyakuSearch = 0, nColorPrint = 0, nLayJunPrint = 0,
          nColJunPrint = 0, nPrtRenzoku = 0, nPrtKyoutsuuGray = 0,
          nPrtDispOnlyNonDraw = 0, nPrtDpi = 0, lnDrawTime = 0, nEyeInit = 0,
          dEye_H_Ichi_1 = 0, dEye_H_Ichi_2 = 0, dEye_H_Ichi_3 = 0;
  double dEye_Z_Ichi_1 = 0, dEye_Y_Ichi_1 = 0, dEye_Z_Ichi_2 = 0,
         dEye_Y_Ichi_2 = 0, dEye_V_Ichi_3 = 0, dSenNagasaSnpou = 0,
         dBoxSunpouX = 0, dBoxSunpouY = 0, dEnHankeiSnpou = 0;
  int32_t nSolidNinniColor = 0, SolidColor = 0;
  double dMojiSizeX = 0, dMojiSizeY = 0, dMojiKankaku = 0;
  int32_t nMojiColor = 0, nMojiShu = 0;
  double dMojiSeiriGyouKan = 0, dMojiSeiriSuu = 0;
  int32_t nMojiKijunZureOn = 0;
  double adMojiKijunZureX0 = 0, adMojiKijunZureX1 = 0, adMojiKijunZureX2 = 0,
         adMojiKijunZureY0 = 0, adMojiKijunZureY1 = 0, adMojiKijunZureY2 = 0;
  int32_t n1 = 0;  // entities announced by the file
  int32_t n2 = 0;  // block definitions announced by the file
};

struct TEntJwsHeader {
  std::u16string jwID;
  int32_t jwVer = 0;
  double BasePoint_x = 0, BasePoint_y = 0;  // base point of the symbol
  int32_t dmy01 = 0, dmy02 = 0, dmy03 = 0, dmy04 = 0, dmy05 = 0, dmy06 = 0;
  double dmy11 = 0, dmy12 = 0, dmy13 = 0, dmy14 = 0, dmy15 = 0, dmy16 = 0;
  double Mx1 = 0, My1 = 0, Mx2 = 0, My2 = 0;
  int32_t n1 = 0;
  int32_t n2 = 0;
};

}  // namespace tessa
