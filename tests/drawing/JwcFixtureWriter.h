// Test-side writer of JWC drawings and JWK symbols: lays out the bytes of
// the two DOS formats from plain descriptions, so each test builds exactly
// the file that shows what it checks.  Values are given as stored
// (coordinates in file units, angles as 1/65536 degree, ratios as
// 1/10000); the helpers convert from readable values.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessa::fixture {

// Code page 932 bytes of a UTF-16 text.
std::string Sjis(const std::u16string& s);

struct JwcLineRec {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint8_t typ = 1, col = 1, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
};

struct JwcArcRec {
  float x = 0, y = 0, r = 1;
  uint16_t h = 10000;             // ratio * 10000
  int32_t st = 0, et = 0, tt = 0;  // degrees * 65536
  uint8_t typ = 1, col = 1, lay = 0, flg1 = 0, flg2 = 0, flg3 = 0;
  // From degrees and a plain ratio.
  static JwcArcRec Deg(float x, float y, float r, double ratio, double st,
                       double et, double tt = 0);
};

struct JwcTextRec {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::string bytes;  // the string as stored (code page 932)
  uint8_t no = 1, lay = 0, flg1 = 0, flg2 = 0;
  // Address written into the record instead of the one of bytes in the
  // string block (then bytes are not stored).
  std::optional<int64_t> address;
};

struct JwcPointRec {
  float x = 0, y = 0;
  uint8_t lay = 0, col = 1, flg1 = 0, flg2 = 0;
};

// Both formats: identification block, entities and the string block.
struct JwFixtureBase {
  std::string ident;  // block 1, bytes 0..39
  std::string comment1, comment2;
  std::vector<JwcLineRec> lines;
  std::vector<JwcArcRec> arcs;
  std::vector<JwcTextRec> texts;
  std::vector<JwcPointRec> points;
  // Bytes placed before the first text in the string block.
  std::string strPrefix;

  // Header fields replaced by index (text as written), or a whole
  // header block replaced by its text.
  std::map<int, std::string> b2;
  std::optional<std::string> block2Text;

 protected:
  // String block laid out from the texts; offsets[i] is text i's offset.
  std::string StringBlock(std::vector<int64_t>& offsets) const;
};

struct JwcFixture : JwFixtureBase {
  JwcFixture();
  // Sets character 23 of the identification: "f" stores group scales as
  // singles, anything else as words.
  void SetFloatScales(bool f);

  int psize = 3;
  int drawWidth = 518;  // as written (0 is allowed)
  std::array<float, 101> vx{}, vy{};
  std::array<uint8_t, 101> vlay{};
  int vtenCount = 0;
  std::array<uint16_t, 11> mjPen{}, mjWidth{}, mjHeight{}, mjDist{};
  std::array<float, 16> groupScale{};
  std::array<uint8_t, 16> groupSrch{}, groupDisp{}, groupWlay{};
  std::array<uint8_t, 256> laySrch{}, layDisp{};
  std::array<std::string, 256> layName;   // up to 8 bytes each
  std::array<std::string, 16> groupName;  // up to 16 bytes each
  uint32_t strSegment = 0x6000;  // segment of the string block's start
  std::map<int, std::string> b3, b4;
  std::optional<std::string> block3Text, block4Text;

  std::vector<uint8_t> Build() const;
};

struct JwkFixture : JwFixtureBase {
  JwkFixture();
  std::string scale = "1";
  std::vector<uint8_t> Build() const;
};

// "1,2,3": fields joined by commas.
std::string Fields(const std::vector<std::string>& f);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A path in the temporary folder, unique to this process.
std::string FixturePath(const std::string& name);

}  // namespace tessa::fixture
