// Reasons: every way a drawing can fail to read gives its code, a
// sentence and the byte it applies to, the same through every entry.
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/tessa_api.h"
#include "api_fixtures.h"
#include "api_test_util.h"
#include "temp_folder.h"

namespace tessa::apitest {
namespace {

using namespace tessa::test;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

size_t JwwHeaderSize(const TJwwData& d) {
  TJwArchiveWriter w;
  WriteJwwHeader(w, d);
  return w.bytes.size();
}

// Where the line records of a JWC drawing start: four header blocks,
// virtual points, text types, group scales (as singles) and the layer
// flags.
constexpr int64_t kJwcLinesAt = 4 * 200 + 101 * 9 + 11 * 8 + 16 * 4 + 16 + 256 + 16 + 256 + 16;
// JWK: one identification and one count block.
constexpr int64_t kJwkLinesAt = 2 * 200;

struct Case {
  const char* what;
  api::Format format;
  std::vector<uint8_t> bytes;
  const char* code;
  int64_t offset;
};

std::vector<Case> Cases() {
  std::vector<Case> c;
  const TJwwData plain = MakeJwwDrawing(600);
  const size_t header = JwwHeaderSize(plain);

  {
    std::vector<uint8_t> b = WriteJww(plain);
    b[3] = 'X';
    c.push_back({"foreign signature", api::Format::Jww, b, "not-a-drawing", 0});
  }
  c.push_back({"a few bytes", api::Format::Jws, Bytes("Jw"), "not-a-drawing", 0});
  for (api::Format f : {api::Format::Jww, api::Format::Jws, api::Format::Jwc, api::Format::Jwk})
    c.push_back({"no bytes at all", f, {}, "not-a-drawing", 0});
  c.push_back({"text file as JWC", api::Format::Jwc, Bytes("hello, world\n"), "not-a-drawing", 0});
  c.push_back({"JWC as JWK", api::Format::Jwk, JwcDrawing().bytes, "not-a-drawing", 0});
  {
    TJwwData d = MakeJwwDrawing(700);
    d.Enthd.jwVer = 800;
    c.push_back({"JWW version 800", api::Format::Jww, WriteJww(d), "unsupported-version", 8});
  }
  {
    TJwsData s = MakeJwsSymbol(600);
    s.Enthd.jwVer = 100;
    c.push_back({"JWS version 100", api::Format::Jws, WriteJws(s), "unsupported-version", 200});
  }
  {
    std::vector<uint8_t> b = WriteJww(plain);
    b.resize(10);
    c.push_back({"ends inside the version", api::Format::Jww, b, "truncated", 10});
    b = WriteJww(plain);
    b.resize(12);
    c.push_back({"ends after the version", api::Format::Jww, b, "truncated", 12});
    // Version 600 ends with the count of block definitions (a WORD).
    b = WriteJww(plain);
    const int64_t countAt = static_cast<int64_t>(b.size()) - 2;
    b.resize(b.size() - 1);
    c.push_back({"ends inside the last count", api::Format::Jww, b, "truncated", countAt});
  }
  {
    fixture::JwcFixture f;
    f.lines.push_back({1, 2, 3, 4});
    std::vector<uint8_t> b = f.Build();
    b.resize(static_cast<size_t>(kJwcLinesAt) + 22 + 256 * 8);  // ends in the layer names
    c.push_back({"JWC ends in the layer names", api::Format::Jwc, b, "truncated",
                 static_cast<int64_t>(b.size())});
  }
  {
    TJwArchiveWriter w;
    WriteJwwHeader(w, plain);
    w.Count(60000);
    w.ClassTag("CDataSen");
    WriteAttr(w, 600, Attr());
    for (int i = 0; i < 4; ++i) w.F64(1);
    w.ObjectDone();
    c.push_back({"JWW count past the data", api::Format::Jww, w.bytes, "bad-count",
                 static_cast<int64_t>(header)});
  }
  {
    fixture::JwcFixture f;
    f.b2[0] = "1000";
    f.lines.push_back({1, 2, 3, 4});
    c.push_back({"JWC line count past the data", api::Format::Jwc, f.Build(), "bad-count",
                 kJwcLinesAt});
    fixture::JwcFixture v;
    v.vtenCount = 150;
    c.push_back({"JWC virtual point count", api::Format::Jwc, v.Build(), "bad-count", 200});
    fixture::JwkFixture k;
    k.b2[0] = "-3";
    c.push_back({"JWK negative count", api::Format::Jwk, k.Build(), "bad-count", kJwkLinesAt});
  }
  {
    TJwwData d = MakeJwwDrawing(600);
    AddLine(d, Line(0, 0, 1, 1));
    TJwwWriteOptions o;
    o.classNames[1] = "CDataNothing";
    c.push_back({"unknown class", api::Format::Jww, WriteJww(d, o), "bad-record",
                 static_cast<int64_t>(header) + 2});
    TJwArchiveWriter w;
    WriteJwwHeader(w, plain);
    w.Count(1);
    w.RawTag(0x8005);
    c.push_back({"undeclared class", api::Format::Jww, w.bytes, "bad-record",
                 static_cast<int64_t>(header) + 2});
  }
  {
    TJwwData d = MakeJwwDrawing(700);
    AddBindImage(d, u"a.png", -5);
    TJwArchiveWriter w;
    WriteJwwHeader(w, d);
    WriteEntityList(w, 700, d);
    WriteBlockDefs(w, 700, d);
    // Image count (DWORD), then the name as a counted string.
    const int64_t sizeAt = static_cast<int64_t>(w.bytes.size()) + 4 + 1 + 5;
    WriteBindImages(w, d);
    c.push_back({"image of negative size", api::Format::Jww, w.bytes, "bad-record", sizeAt});
  }
  {
    // Each definition places the next one: nesting far deeper than any
    // drawing needs.
    TJwwData d = MakeJwwDrawing(600);
    for (uint32_t n = 1; n <= 70; ++n) {
      TEntJwwBlockDef& def = AddBlockDef(d, n, u"B" + std::u16string(1, u'0' + n % 10));
      AddLine(def, Line(0, 0, 1, 0));
      if (n < 70) AddBlock(def, Insert(n + 1, 1, 0));
    }
    AddBlock(d, Insert(1, 0, 0));
    c.push_back({"nesting too deep", api::Format::Jww, WriteJww(d), "block-nesting", -1});
  }
  return c;
}

TEST(ApiReasons, EveryReadFailureSaysWhyAndWhere) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    std::string dxf;
    const api::Result r = api::ConvertBytes(c.bytes, c.format, api::Options{}, dxf);
    ASSERT_FALSE(r.ok);
    ASSERT_TRUE(r.reason.has_value());
    EXPECT_EQ(api::ReasonName(r.reason->code), c.code) << r.reason->message;
    EXPECT_EQ(r.reason->offset, c.offset) << r.reason->message;
    EXPECT_FALSE(r.reason->message.empty());
    // Faults inside the data name their byte.
    if (c.offset > 0 && std::string(c.code) != "unsupported-version") {
      EXPECT_NE(r.reason->message.find(std::to_string(c.offset)), std::string::npos)
          << r.reason->message;
    }
    EXPECT_TRUE(dxf.empty());

    const api::Info info = api::InspectBytes(c.bytes, c.format);
    ASSERT_FALSE(info.ok);
    ASSERT_TRUE(info.reason.has_value());
    EXPECT_EQ(api::ReasonName(info.reason->code), c.code);
    EXPECT_EQ(info.reason->offset, c.offset);
  }
}

// A drawing cut anywhere reads or gives a reason of the reading, never an
// internal fault, with an offset inside the file.
TEST(ApiReasons, CutDrawingsGiveReadingReasons) {
  using api::ReasonCode;
  const std::set<ReasonCode> reading = {ReasonCode::NotADrawing, ReasonCode::UnsupportedVersion,
                                        ReasonCode::Truncated, ReasonCode::BadCount,
                                        ReasonCode::BadRecord};
  for (const TDrawing& d : AllFixtures()) {
    const size_t step = std::max<size_t>(1, d.bytes.size() / 150);
    for (size_t cut = 0; cut < d.bytes.size(); cut += step) {
      const std::vector<uint8_t> part(d.bytes.begin(), d.bytes.begin() + static_cast<long>(cut));
      const api::Info info = api::InspectBytes(part, d.format);
      if (info.ok) continue;
      ASSERT_TRUE(info.reason.has_value());
      EXPECT_EQ(reading.count(info.reason->code), 1u)
          << d.name << " cut at " << cut << ": " << api::ReasonName(info.reason->code) << " "
          << info.reason->message;
      EXPECT_LE(info.reason->offset, static_cast<int64_t>(cut)) << d.name << " cut at " << cut;
      EXPECT_FALSE(info.reason->message.empty());
    }
  }
}

// AddressSanitizer reserves more address space than any cap leaves room for.
#if defined(__SANITIZE_ADDRESS__)
#define TESSA_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSA_TEST_UNDER_ASAN 1
#endif
#endif

#if !defined(TESSA_TEST_UNDER_ASAN)
// Caps the address space just above what the process uses, reads a drawing
// whose entities need far more, and exits 0 when that gave the reason.
[[noreturn]] void ConvertWithoutRoom() {
  // Written object by object: no container of that size is ever held.
  TJwArchiveWriter w;
  WriteJwwHeader(w, MakeJwwDrawing(600));
  w.Count(100000);
  for (int i = 0; i < 100000; ++i) {
    w.ClassTag("CDataSen");
    WriteAttr(w, 600, Attr());
    for (double v : {double(i), 0.0, double(i), 1.0}) w.F64(v);
    w.ObjectDone();
  }
  w.Count(0);
  // Large blocks from fresh mappings, never from memory freed before.
  ::mallopt(M_MMAP_THRESHOLD, 128 << 10);
  ::malloc_trim(0);
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  if (pages <= 0) ::_exit(3);
  const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                      (rlim_t{2} << 20);
  const rlimit lim{room, room};
  if (::setrlimit(RLIMIT_AS, &lim) != 0) ::_exit(3);
  std::string dxf;
  const api::Result r = api::ConvertBytes(w.bytes, api::Format::Jww, api::Options{}, dxf);
  ::_exit(!r.ok && r.reason && r.reason->code == api::ReasonCode::OutOfMemory && r.reason->offset == -1 ? 0 : 1);
}

// Memory running out while a drawing is read is a reason like any other.
// A fresh process (a death test run alone) so no memory freed by earlier
// tests is there to take.
TEST(ApiReasons, MemoryRunningOutIsAReason) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ConvertWithoutRoom(), ::testing::ExitedWithCode(0), "");
}
#endif

TEST(ApiReasons, MessagesNameWhatWasWrong) {
  TJwwData d = MakeJwwDrawing(700);
  d.Enthd.jwVer = 123;
  std::string dxf;
  const api::Result r = api::ConvertBytes(WriteJww(d), api::Format::Jww, api::Options{}, dxf);
  ASSERT_TRUE(r.reason);
  EXPECT_EQ(r.reason->message, "version 123 is not a JWW version this converter reads (220..700)");

  TJwwData u = MakeJwwDrawing(600);
  AddLine(u, Line(0, 0, 1, 1));
  TJwwWriteOptions o;
  o.classNames[1] = "CDataNothing";
  const api::Result b = api::ConvertBytes(WriteJww(u, o), api::Format::Jww, api::Options{}, dxf);
  ASSERT_TRUE(b.reason);
  EXPECT_NE(b.reason->message.find("\"CDataNothing\""), std::string::npos) << b.reason->message;
  EXPECT_NE(b.reason->message.find("entity list"), std::string::npos) << b.reason->message;
}

TEST(ApiReasons, PathsThatNameNoDrawing) {
  TTempFolder dir("tessa-api-");
  const std::string text = dir.Path() + "/notes.txt";
  std::ofstream(text) << "JwwData.";
  struct PathCase {
    std::string path;
    const char* code;
  } cases[] = {{dir.Path() + "/missing.jww", "not-found"},
               {dir.Path(), "not-found"},
               {text, "unknown-format"}};
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    const api::Result r = api::ConvertFile(c.path, dir.Path() + "/out.dxf", api::Options{});
    ASSERT_TRUE(r.reason);
    EXPECT_EQ(api::ReasonName(r.reason->code), c.code);
    EXPECT_EQ(r.reason->offset, -1);
    const api::Info info = api::Inspect(c.path);
    ASSERT_TRUE(info.reason);
    EXPECT_EQ(api::ReasonName(info.reason->code), c.code);
    EXPECT_FALSE(Exists(dir.Path() + "/out.dxf"));
  }
}

// What the converter leaves out of a drawing it can read is told, not
// silently dropped.
TEST(ApiReasons, LeftOutPartsBecomeWarnings) {
  TJwwData d = MakeJwwDrawing(600);
  AddLine(d, Line(0, 0, 10, 0));
  AddLine(d, Line(0, 0, 0, 10, Attr(17, 0)));  // no layer group 17
  AddLine(d, Line(0, 0, 5, 5, Attr(0, 16)));   // no layer 16
  TEntJwwBlockDef& self = AddBlockDef(d, 3, u"self");
  AddLine(self, Line(0, 0, 1, 1));
  AddBlock(self, Insert(3, 2, 2));  // places itself
  AddBlock(d, Insert(3, 50, 50));
  TEntJwwMoji text = Text(0, 0, u"A");
  text.nMojiShu = 15;  // there are text types 1..10
  AddMoji(d, text);
  std::string dxf;
  const api::Result r = api::ConvertBytes(WriteJww(d), api::Format::Jww, api::Options{}, dxf);
  ASSERT_TRUE(r.ok) << r.reason->message;
  EXPECT_EQ(r.written.at("LINE"), 1);
  EXPECT_EQ(r.written.at("INSERT"), 1);
  auto has = [&](const std::string& text) {
    for (const std::string& w : r.warnings)
      if (w == text) return true;
    return false;
  };
  EXPECT_TRUE(has("2 entities on layers or layer groups above 15 left out"));
  EXPECT_TRUE(has("1 block copy that would place a block inside itself left out"));
  EXPECT_TRUE(has("1 text of an unknown text type written with text type 0"));
  EXPECT_EQ(r.warnings.size(), 3u);
  EXPECT_EQ(r.written.at("TEXT"), 1);

  fixture::JwcFixture f;
  f.texts.push_back({0, 0, 10, 0, "A", 12, 0, 0, 0, std::nullopt});
  f.texts.push_back({0, 5, 10, 5, "B", 3, 0, 0, 0, std::nullopt});
  const api::Info info = api::InspectBytes(f.Build(), api::Format::Jwc);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.warnings,
            std::vector<std::string>{"1 text of an unknown text type written with text type 0"});
}

}  // namespace
}  // namespace tessa::apitest
