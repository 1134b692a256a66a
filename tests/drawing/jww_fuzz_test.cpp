// Damaged drawings: cut at every offset, cut real drawings, random byte
// changes.  The readers must return (true or false) without crashing or
// hanging, and whatever they keep must be safe to walk: counts equal the
// array sizes and every order entry points into its array.
#include <gtest/gtest.h>

#include <random>

#include "jww_test_util.h"
#include "samples.h"

namespace tessa::test {
namespace {

void ExpectWalkable(const TListShape& l) {
  for (size_t k = 0; k < 7; ++k) ASSERT_EQ(l.sizes[k], static_cast<size_t>(l.counts[k]));
  for (const TEntJwwNo& e : l.no) {
    ASSERT_GE(e.EntType, 0);
    ASSERT_LE(e.EntType, 7);
    if (e.EntType == 0) continue;
    ASSERT_GE(e.EntNo, 0);
    ASSERT_LT(static_cast<size_t>(e.EntNo), l.sizes[static_cast<size_t>(e.EntType - 1)]);
  }
}

void ExpectWalkable(const TJwwBaseData& d) {
  ExpectWalkable(ShapeOf(d));
  ASSERT_EQ(d.EntBlockDef.size(), static_cast<size_t>(d.EntBlockDefN));
  for (const TEntJwwBlockDef& def : d.EntBlockDef) ExpectWalkable(ShapeOf(def));
  ASSERT_EQ(d.EntBlockTree.size(), static_cast<size_t>(d.EntBlockTreeN));
  for (const TEntJwwBlockTree& t : d.EntBlockTree) {
    ASSERT_LT(t.defno, d.EntBlockDefN);
    ASSERT_LT(t.parent, d.EntBlockTreeN);
  }
  ASSERT_EQ(d.BindImage.size(), static_cast<size_t>(d.BindImageN));
}

template <class T>
void Fill(T& d, bool withImages) {
  TEntJwwAttr a = Attr(1, 2, 3, 4);
  AddLine(d, Line(0, 0, 10, 10, a));
  AddEnko(d, Arc(1, 1, 5, 0.1, 1, a));
  AddTen(d, Point(2, 2, Attr(0, 0, 1, 100)));
  AddTen(d, Point(3, 3, a));
  AddMoji(d, Text(0, 0, u"文字列" + std::u16string(260, u'x'), 3, a));
  AddSunpo(d, Dimension(0, 10, -5, u"10", a));
  AddSolid(d, Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, 10, 1)));
  AddBlock(d, Insert(1, 5, 5, 0.5, 2, 2, a));
  AddBlock(d, Insert(2, 5, 5));
  TEntJwwBlockDef& one = AddBlockDef(d, 1, u"一");
  AddLine(one, Line(0, 0, 1, 1));
  AddBlock(one, Insert(2, 1, 1));
  AddBlock(one, Insert(1, 1, 1));  // places itself
  TEntJwwBlockDef& two = AddBlockDef(d, 2, u"二");
  two.dtime = 0x80000001u;
  AddMoji(two, Text(0, 0, u"内"));
  AddSolid(two, Solid(0, 0, 2, 0, 2, 2, 0, 2));
  if (withImages) {
    AddBindImage(d, u"a.bmp", 40);
    AddBindImage(d, u"b.jpg.gz", 30);
  }
}

std::vector<uint8_t> SmallJww(int32_t ver, bool unicode) {
  TJwwData d = MakeJwwDrawing(ver);
  Fill(d, true);
  TJwwWriteOptions o;
  o.unicodeStrings = unicode;
  return WriteJww(d, o);
}

std::vector<uint8_t> SmallJws() {
  TJwsData d = MakeJwsSymbol(600);
  Fill(d, false);
  return WriteJws(d);
}

void ReadJwwCopy(const std::vector<uint8_t>& b, size_t n) {
  TJwwData d;
  d.BindImageExr = true;
  d.FileInMem(b.data(), n);
  ExpectWalkable(d);
}

void ReadJwsCopy(const std::vector<uint8_t>& b, size_t n) {
  TJwsData d;
  d.FileInMem(b.data(), n);
  ExpectWalkable(d);
}

TEST(JwwFuzz, CutAtEveryOffset) {
  for (auto [ver, unicode] : {std::pair{700, true}, std::pair{350, false}}) {
    std::vector<uint8_t> b = SmallJww(ver, unicode);
    {
      TJwwData d;
      d.BindImageExr = true;
      ASSERT_TRUE(ReadJww(d, b));
    }
    for (size_t n = 0; n <= b.size(); ++n) {
      // Each length is a separate buffer so that reads past it are caught
      // by the sanitizer builds.
      std::vector<uint8_t> cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
      ASSERT_NO_FATAL_FAILURE(ReadJwwCopy(cut, n)) << "length " << n;
    }
  }
  std::vector<uint8_t> s = SmallJws();
  for (size_t n = 0; n <= s.size(); ++n) {
    std::vector<uint8_t> cut(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    ASSERT_NO_FATAL_FAILURE(ReadJwsCopy(cut, n)) << "length " << n;
  }
}

TEST(JwwFuzz, CutRealDrawings) {
  TESSA_REQUIRE_SAMPLES();
  const std::string base = testing_support::SamplesDir();
  for (const std::string& rel : {std::string("/jws/jwcad/文字部品/DHR立面図.jws"),
                                 std::string("/jww/jww_samples/Ａマンション平面例.jww"),
                                 std::string("/jww/jww_samples/block_regressions/3blocks.jww")}) {
    SCOPED_TRACE(rel);
    std::vector<uint8_t> b;
    ASSERT_TRUE(ReadWholeFile(base + rel, b));
    const bool jws = rel.find(".jws") != std::string::npos;
    std::mt19937 rng(1234);
    for (int i = 0; i < 150; ++i) {
      size_t n = std::uniform_int_distribution<size_t>(0, b.size())(rng);
      std::vector<uint8_t> cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
      if (jws)
        ASSERT_NO_FATAL_FAILURE(ReadJwsCopy(cut, n)) << "length " << n;
      else
        ASSERT_NO_FATAL_FAILURE(ReadJwwCopy(cut, n)) << "length " << n;
    }
  }
}

// Changes land mostly after the header, where counts, tags and lengths live.
TEST(JwwFuzz, RandomByteChanges) {
  struct Input { std::vector<uint8_t> bytes; size_t bodyStart; bool jws; };
  TJwArchiveWriter hw;
  WriteJwwHeader(hw, MakeJwwDrawing(700));
  TJwArchiveWriter sw;
  WriteJwsHeader(sw, MakeJwsSymbol(600));
  const Input inputs[] = {{SmallJww(700, false), hw.bytes.size(), false},
                          {SmallJww(700, true), hw.bytes.size(), false},
                          {SmallJws(), sw.bytes.size(), true}};
  const uint8_t special[] = {0x00, 0xFF, 0x7F, 0x80, 0xFE, 0x01};
  std::mt19937 rng(20240611);
  for (const Input& in : inputs) {
    for (int i = 0; i < 1200; ++i) {
      std::vector<uint8_t> b = in.bytes;
      int changes = std::uniform_int_distribution<int>(1, 4)(rng);
      for (int c = 0; c < changes; ++c) {
        bool body = std::uniform_int_distribution<int>(0, 9)(rng) != 0;
        size_t lo = body ? in.bodyStart : 0;
        size_t pos = std::uniform_int_distribution<size_t>(lo, b.size() - 1)(rng);
        if (std::uniform_int_distribution<int>(0, 1)(rng))
          b[pos] = special[std::uniform_int_distribution<size_t>(0, 5)(rng)];
        else
          b[pos] ^= static_cast<uint8_t>(1u << std::uniform_int_distribution<int>(0, 7)(rng));
      }
      if (in.jws)
        ASSERT_NO_FATAL_FAILURE(ReadJwsCopy(b, b.size())) << "input " << i;
      else
        ASSERT_NO_FATAL_FAILURE(ReadJwwCopy(b, b.size())) << "input " << i;
    }
  }
}

// Damaged drawings whose images are written: only the image folder is
// ever touched, and nothing stays behind.
TEST(JwwFuzz, DamagedImagesStayInTheFolder) {
  TTempFolder tmp;
  const std::string folder = tmp.Dir() + "TEMP/";
  std::vector<uint8_t> b = SmallJww(700, false);
  std::mt19937 rng(99);
  for (int i = 0; i < 200; ++i) {
    std::vector<uint8_t> x = b;
    size_t pos = std::uniform_int_distribution<size_t>(x.size() - 120, x.size() - 1)(rng);
    x[pos] = static_cast<uint8_t>(rng());
    size_t n = std::uniform_int_distribution<size_t>(x.size() - 120, x.size())(rng);
    x.resize(n);
    TJwwData d;
    d.BindImageExp = d.BindImageExr = true;
    d.BindImageFolder = folder;
    d.FileInMem(x.data(), x.size());
    d.BindImageExplode();
    d.BindImageDeleteGzFile();
    d.BindImageDeleteNonGzFile();
  }
  size_t outside = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(tmp.Dir()))
    outside += e.path().string().rfind(folder, 0) == 0 ? 0 : 1;
  EXPECT_EQ(outside, 1u);  // just the folder itself
}

}  // namespace
}  // namespace tessa::test
