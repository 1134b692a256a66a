// Whole files: the small model of writer_golden_model.h written in the
// three versions must equal the checked-in files byte for byte.  The
// expected files were read line by line against the file layout; to
// regenerate them after a deliberate change, run this test with
// TESSA_UPDATE_GOLDEN=1 and read the difference before committing.
#include <cstdlib>
#include <fstream>

#include "dxf/SaveWriter.h"
#include "writer_golden_model.h"

#ifndef TESSA_GOLDEN_DIR
#error "TESSA_GOLDEN_DIR must name the folder of the expected files"
#endif

namespace tessa::testing {
namespace {

// First differing line, for a readable failure.
std::string FirstDifference(const std::string& got, const std::string& want) {
  size_t line = 1, i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i]) {
    if (got[i] == '\n') ++line;
    ++i;
  }
  auto lineAt = [](const std::string& s, size_t at) {
    size_t b = s.rfind('\n', at == 0 ? 0 : at - 1);
    b = b == std::string::npos ? 0 : b + 1;
    size_t e = s.find('\n', at);
    return s.substr(b, e == std::string::npos ? std::string::npos : e - b);
  };
  return "line " + std::to_string(line) + ": got '" + lineAt(got, i) + "', want '" +
         lineAt(want, i) + "'";
}

class GoldenFile : public ::testing::TestWithParam<int> {};

TEST_P(GoldenFile, MatchesTheCheckedInFile) {
  const int ver = GetParam();
  static const char* const kNames[] = {"golden_r12", "golden_r2000", "golden_r2007"};
  TDXFmodel m;
  BuildGoldenModel(m, ver);
  const std::string got = SaveAndRead(m, kNames[ver]);
  const std::string expectedPath = std::string(TESSA_GOLDEN_DIR) + "/" + kNames[ver] + ".dxf";
  if (const char* u = std::getenv("TESSA_UPDATE_GOLDEN"); u && *u == '1') {
    std::ofstream(expectedPath, std::ios::binary) << got;
    GTEST_SKIP() << "rewrote " << expectedPath;
  }
  const std::string want = ReadFileBytes(expectedPath);
  ASSERT_FALSE(want.empty()) << "missing " << expectedPath;
  EXPECT_TRUE(got == want) << FirstDifference(got, want);
  // The whole file used exactly the handles the header announced.
  EXPECT_EQ(NextHandleAfterWriting(m), DXFHandSeed(m));
  // Written into memory, the bytes are the same.
  TDXFStringSink memory;
  ASSERT_TRUE(SaveDXF(m, "/nonexistent/source.jww", memory).ok);
  EXPECT_TRUE(memory.text == want) << FirstDifference(memory.text, want);
}

std::string VersionName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"R12", "R2000", "R2007"};
  return kNames[info.param];
}

// Laid out in parts on two threads (parts of one to three items, so that
// every kind of item meets a part boundary), the file is the same.
TEST_P(GoldenFile, PartsOnTwoThreadsGiveTheSameBytes) {
  const int ver = GetParam();
  TDXFmodel whole;
  BuildGoldenModel(whole, ver);
  const std::string want =
      SaveAndRead(whole, "parts_" + std::to_string(ver) + "_whole", TDXFWriteOptions{0});
  ASSERT_GT(whole.deNo.size(), 6u);
  for (size_t part : {1, 2, 3}) {
    TDXFmodel m;
    BuildGoldenModel(m, ver);
    const std::string got = SaveAndRead(
        m, "parts_" + std::to_string(ver) + "_" + std::to_string(part), TDXFWriteOptions{part});
    EXPECT_TRUE(got == want) << "parts of " << part << ": " << FirstDifference(got, want);
    TDXFStringSink sink;
    EXPECT_EQ(SaveDXF(m, "", sink, TDXFWriteOptions{part}).nextHandle, DXFHandSeed(m));
  }
}

// Many parts, each with texts of characters met for the first time, so
// that both threads look up new code page 932 entries at once.
TEST_P(GoldenFile, PartsWithNewCharactersOnBothThreadsGiveTheSameBytes) {
  const int ver = GetParam();
  auto build = [ver](TDXFmodel& m) {
    BuildGoldenModel(m, ver);
    for (int i = 0; i < 600; ++i) {
      const std::u16string text{static_cast<char16_t>(0x4E00 + 7 * i),
                                static_cast<char16_t>(0x3041 + i % 80), u'A'};
      m.AddLine(0, 1, 1 + i % 7, 1, 0, i, 0, i + 1, 1);
      m.AddMoji(0, 1, 2, 0, 0, 0, i, 2, i + 3, 2, 2.5, 2.5, 0, 0, u"", text);
    }
  };
  TDXFmodel whole;
  build(whole);
  const std::string want =
      SaveAndRead(whole, "chars_" + std::to_string(ver) + "_whole", TDXFWriteOptions{0});
  TDXFmodel m;
  build(m);
  const std::string got =
      SaveAndRead(m, "chars_" + std::to_string(ver) + "_parts", TDXFWriteOptions{5});
  EXPECT_TRUE(got == want) << FirstDifference(got, want);
}

INSTANTIATE_TEST_SUITE_P(Versions, GoldenFile, ::testing::Values(0, 1, 2), VersionName);

}  // namespace
}  // namespace tessa::testing
