// Every real drawing of the samples folder reads completely, and what was
// read agrees with the counts the file announces.  Also the drawing shipped
// in examples/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "jww_sample_drawing.h"
#include "jww_test_util.h"
#include "samples.h"
#include "util/Func_2.h"

namespace tessa::test {
namespace {

using testing_support::SampleFiles;
using testing_support::SamplesDir;

// The entity arrays agree with the order list and with the count read.
void ExpectListConsistent(const TListShape& l, int32_t announced) {
  ASSERT_EQ(l.no.size(), static_cast<size_t>(announced));
  std::vector<int32_t> seen(8, 0);
  for (const TEntJwwNo& e : l.no) {
    ASSERT_GE(e.EntType, 1);  // no empty slot in a good file
    ASSERT_LE(e.EntType, 7);
    EXPECT_EQ(e.EntNo, seen[static_cast<size_t>(e.EntType)]++);
  }
  for (size_t k = 0; k < 7; ++k) {
    EXPECT_EQ(l.counts[k], seen[k + 1]);
    EXPECT_EQ(l.sizes[k], static_cast<size_t>(l.counts[k]));
  }
}

void ExpectConsistent(const TJwwBaseData& d, int32_t n1, int32_t n2) {
  ExpectListConsistent(ShapeOf(d), n1);
  ASSERT_EQ(d.EntBlockDefN, n2);
  ASSERT_EQ(d.EntBlockDef.size(), static_cast<size_t>(n2));
  for (const TEntJwwBlockDef& def : d.EntBlockDef) ExpectListConsistent(ShapeOf(def), def.N);
  EXPECT_EQ(d.EntBlockTreeN, static_cast<int32_t>(d.EntBlockTree.size()));
  for (const TEntJwwBlockTree& t : d.EntBlockTree) {
    EXPECT_LT(t.defno, d.EntBlockDefN);
    EXPECT_LT(t.parent, d.EntBlockTreeN);
  }
}

TEST(JwwSamples, EveryDrawingReads) {
  TESSA_REQUIRE_SAMPLES();
  std::vector<std::string> files = SampleFiles("jww", ".jww");
  ASSERT_FALSE(files.empty()) << "no drawings under " << SamplesDir();
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    TJwwData d;
    d.BindImageExr = true;  // read the image section, write nothing
    ASSERT_TRUE(d.FileCheck(f));
    ASSERT_TRUE(d.FileIn(f));
    EXPECT_GE(d.Enthd.jwVer, 220);
    ASSERT_EQ(d.EntLay.size(), 256u);
    ExpectConsistent(d, d.Enthd.n1, d.Enthd.n2);
    EXPECT_EQ(d.BindImageN, static_cast<int32_t>(d.BindImage.size()));
  }
}

TEST(JwwSamples, EverySymbolReads) {
  TESSA_REQUIRE_SAMPLES();
  std::vector<std::string> files = SampleFiles("jws", ".jws");
  ASSERT_FALSE(files.empty()) << "no symbols under " << SamplesDir();
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    TJwsData d;
    ASSERT_TRUE(d.FileCheck(f));
    ASSERT_TRUE(d.FileIn(f));
    EXPECT_GE(d.Enthd.jwVer, 230);
    ASSERT_EQ(d.EntLgrp.size(), 16u);
    ExpectConsistent(d, d.Enthd.n1, d.Enthd.n2);
  }
}

// Drawings with their texts in the UTF-16 form: the setting texts of the
// program come out as plain text.
TEST(JwwSamples, Utf16Strings) {
  TESSA_REQUIRE_SAMPLES();
  TJwwData d;
  ASSERT_TRUE(d.FileIn(SamplesDir() + "/jww/jww_samples/block_regressions/2blocks.jww"));
  ASSERT_GE(d.EntMojiN, 1);
  bool found = false;
  for (const TEntJwwMoji& m : d.EntMoji) found |= m.str == u"View_Direct2d = 1";
  EXPECT_TRUE(found);
  EXPECT_EQ(d.EntMoji[0].strFontName, u"ＭＳ ゴシック");
  ASSERT_EQ(d.EntBlockDefN, 2);
  EXPECT_EQ(d.EntBlockDef[0].strName.rfind(u"2lines", 0), 0u);
}

TEST(JwwExample, ShippedDrawingIsTheGeneratedOne) {
  std::vector<uint8_t> shipped;
  ASSERT_TRUE(ReadWholeFile(std::string(TESSA_SOURCE_DIR) + "/examples/sample.jww", shipped));
  EXPECT_EQ(shipped, SampleDrawingBytes());

  TJwwData d;
  ASSERT_TRUE(ReadJww(d, shipped));
  EXPECT_EQ(d.Enthd.jwVer, 700);
  EXPECT_EQ(d.Enthd.nZumen, 3);
  EXPECT_EQ(d.EntLgrp[0].adScale, 100);
  EXPECT_EQ(d.EntLineN, 4);
  EXPECT_EQ(d.EntEnkoN, 2);
  ASSERT_EQ(d.EntMojiN, 1);
  EXPECT_EQ(d.EntMoji[0].str, u"サンプル図面　1/100");
  ASSERT_EQ(d.EntSunpoN, 1);
  EXPECT_EQ(d.EntSunpo[0].Moji.str, u"10000");
  ASSERT_EQ(d.EntBlockDefN, 1);
  EXPECT_EQ(d.EntBlockDef[0].strName, u"窓");
  EXPECT_EQ(d.EntBlockTreeN, 2);
}

}  // namespace
}  // namespace tessa::test
