// Damaged JWC and JWK files: cut at every length and with bytes changed.
// The readers must answer (true or false) without crashing, reading out
// of bounds or hanging, and the extents must stay computable.
#include <gtest/gtest.h>

#include <random>

#include "JwcFixtureWriter.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "util/UnitVal.h"

namespace tessa {
namespace {

// The extents the last GetMinMaxZahyo gave.
TJwExtents ext;

using fixture::JwcArcRec;
using fixture::JwcFixture;
using fixture::JwcTextRec;
using fixture::JwkFixture;
using fixture::Sjis;

std::vector<uint8_t> SmallDrawing() {
  JwcFixture f;
  f.lines.push_back({1, 2, 3, 4, 9, 1, 20, 0, 0, 0});
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 0.5, 350, 10, 30));
  f.texts.push_back({0, 0, 10, 0, Sjis(u"文字"), 3, 0, 32, 0, {}});
  f.texts.push_back({0, 0, 10, 0, "x", 11, 0, 0, 0, {}});
  f.points.push_back({5, 5});
  f.vtenCount = 2;
  f.layName[0] = Sjis(u"名前");
  return f.Build();
}

std::vector<uint8_t> SmallSymbol() {
  JwkFixture f;
  f.lines.push_back({1, 2, 3, 4});
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 1, 0, 90));
  f.points.push_back({5, 5});
  f.texts.push_back({0, 0, 10, 0, Sjis(u"記号"), 2, 0, 0, 0, {}});
  f.scale = "20";
  return f.Build();
}

// Reads bytes with container C and computes the extents; the answer of FileIn.
template <class C>
bool Feed(C& c, const std::string& path, const std::vector<uint8_t>& bytes) {
  EXPECT_TRUE(fixture::WriteFile(path, bytes));
  bool ok = c.FileIn(path);
  ext = c.GetMinMaxZahyo();
  return ok;
}

template <class C>
void CutAtEveryLength(const std::vector<uint8_t>& full, const std::string& name, size_t step) {
  const std::string path = fixture::FixturePath(name);
  C c;
  ASSERT_TRUE(Feed(c, path, full));
  int accepted = 0;
  for (size_t n = 0; n < full.size(); n += (n + step < full.size() ? step : 1)) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
    accepted += Feed(c, path, cut) ? 1 : 0;
  }
  // Only a cut inside the last record (or name) can still be read.
  EXPECT_LT(accepted, 40);
}

template <class C>
void ChangeBytes(const std::vector<uint8_t>& full, const std::string& name, int rounds,
                 size_t headerEnd) {
  const std::string path = fixture::FixturePath(name);
  std::mt19937 rng(12345);
  C c;
  for (int i = 0; i < rounds; ++i) {
    std::vector<uint8_t> b = full;
    int changes = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < changes; ++k) {
      // Half of the changes hit the text header, where counts and
      // addresses live.
      size_t at = (rng() % 2) ? rng() % headerEnd : rng() % b.size();
      b[at] = static_cast<uint8_t>(rng());
      if (rng() % 8 == 0) b[at] = static_cast<uint8_t>("-0123456789,:.eE"[rng() % 16]);
    }
    Feed(c, path, b);
  }
}

TEST(JwcDamagedFiles, CutDrawingsAreRejectedOrReadSafely) {
  CutAtEveryLength<TJwcData>(SmallDrawing(), "cut.jwc", 3);
}

TEST(JwcDamagedFiles, CutSymbolsAreRejectedOrReadSafely) {
  CutAtEveryLength<TJwkData>(SmallSymbol(), "cut.jwk", 1);
}

TEST(JwcDamagedFiles, ChangedBytesNeverBreakTheReaders) {
  ChangeBytes<TJwcData>(SmallDrawing(), "flip.jwc", 1500, 800);
  ChangeBytes<TJwkData>(SmallSymbol(), "flip.jwk", 1500, 400);
}

}  // namespace
}  // namespace tessa
