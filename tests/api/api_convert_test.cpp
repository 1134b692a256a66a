// Conversions through the API: the same DXF as the command-line converter
// writes with the same settings, the counts of what was written, the
// output rules and calls from several threads.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "api/tessa_api.h"
#include "platform/Platform.h"
#include "api_fixtures.h"
#include "api_test_util.h"
#include "samples.h"
#include "temp_folder.h"

namespace tessa::apitest {
namespace {

using api::ConvertBytes;
using api::ConvertFile;
using api::Options;

// Option sets that reach every setting, clamped values included.
std::vector<Options> OptionTable() {
  std::vector<Options> t;
  t.push_back(Options{});
  Options b;
  b.dxf = api::DxfVersion::R12;
  b.space = api::Space::Paper;
  b.layerNames = api::LayerNames::Layer;
  b.points = api::Points::Circle;
  b.scaleGroup = 1;
  b.pointSize = 0.5;
  t.push_back(b);
  Options c;
  c.dxf = api::DxfVersion::R2007;
  c.penColours = api::PenColours::Printer;
  c.layerNames = api::LayerNames::GroupLayer;
  c.points = api::Points::Quarters;
  c.pointSize = 2;
  t.push_back(c);
  Options d;  // out of range: clamped like the settings file
  d.dxf = api::DxfVersion::R2000;
  d.space = api::Space::Paper;
  d.scaleGroup = 20;
  d.points = static_cast<api::Points>(9);
  d.pointSize = 5000;
  t.push_back(d);
  Options e;
  e.dxf = api::DxfVersion::R2000;
  e.points = api::Points::Cross;
  e.pointSize = 0.0001;
  t.push_back(e);
  return t;
}

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    names.insert(e.path().filename().string());
  return names;
}

class ApiConvert : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    bin_ = dir_.Path() + "/bin";
    tmp_ = dir_.Path() + "/tmp";
    ASSERT_EQ(::mkdir(bin_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(tmp_.c_str(), 0755), 0);
    // Temporary files of the API go here, where the test can see them.
    const char* old = std::getenv("TMPDIR");
    if (old) oldTmp_ = old;
    hadTmp_ = old != nullptr;
    ::setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    if (hadTmp_)
      ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }
  std::string Put(const TDrawing& d) {
    const std::string p = dir_.Path() + "/" + d.name;
    EXPECT_TRUE(WriteFileBytes(p, d.bytes));
    return p;
  }
  // What the command-line converter writes for src with options o; empty
  // when it writes nothing.
  std::string CommandLine(const std::string& src, const Options& o) {
    const std::string out = dir_.Path() + "/cli.dxf";
    ::unlink(out.c_str());
    EXPECT_TRUE(RunCommandLine(TESSACONV_PATH, bin_, o, src, out));
    std::string text = Exists(out) ? ReadFileText(out) : "";
    ::unlink(out.c_str());
    return text;
  }

  TTempFolder dir_{"tessa-api-"};
  std::string bin_, tmp_, oldTmp_;
  bool hadTmp_ = false;
};

TEST_F(ApiConvert, FileAndBytesGiveTheCommandLinesDxf) {
  int k = 0;
  for (const TDrawing& d : AllFixtures()) {
    const std::string src = Put(d);
    for (const Options& o : OptionTable()) {
      SCOPED_TRACE(d.name + " options #" + std::to_string(k++));
      const std::string expected = CommandLine(src, o);
      ASSERT_FALSE(expected.empty());

      const std::string dst = dir_.Path() + "/api.dxf";
      const api::Result r = ConvertFile(src, dst, o, true);
      ASSERT_TRUE(r.ok) << (r.reason ? r.reason->message : "");
      EXPECT_EQ(r.format, d.format);
      // The same source file: even the header dates agree.
      const std::string got = ReadFileText(dst);
      EXPECT_TRUE(got == expected);
      // What was counted is what the file holds.
      EXPECT_EQ(r.written, WrittenOfFile(got));

      std::string dxf;
      const api::Result rb = ConvertBytes(d.bytes, d.format, o, dxf);
      ASSERT_TRUE(rb.ok) << (rb.reason ? rb.reason->message : "");
      EXPECT_TRUE(BlankDates(dxf) == BlankDates(expected));
      EXPECT_EQ(rb.written, r.written);
      EXPECT_EQ(rb.warnings, r.warnings);
    }
  }
  // Nothing of the conversions stays behind: no temporary files, and no
  // image folder or image files anywhere the API could have put them.
  EXPECT_TRUE(Listing(tmp_).empty());
  EXPECT_EQ(Listing(dir_.Path()).count("TEMP"), 0u);
}

// Values outside their ranges are brought in as the parent's start-up
// brings in those of its settings file: the same file as the value it
// becomes.
TEST_F(ApiConvert, ValuesOutOfRangeAreBroughtInAsByTheParent) {
  const TDrawing d = JwwMixed();
  auto dxf = [&](const Options& o) {
    std::string text;
    EXPECT_TRUE(ConvertBytes(d.bytes, d.format, o, text).ok);
    return text;
  };
  auto with = [](auto set) {
    Options o;
    o.points = api::Points::Circle;
    o.space = api::Space::Paper;
    set(o);
    return o;
  };
  const struct {
    Options out, in;
  } cases[] = {
      {with([](Options& o) { o.pointSize = std::nan(""); }),
       with([](Options& o) { o.pointSize = 0.001; })},
      {with([](Options& o) { o.pointSize = -3; }), with([](Options& o) { o.pointSize = 0.001; })},
      {with([](Options& o) { o.pointSize = 1e9; }), with([](Options& o) { o.pointSize = 1000; })},
      {with([](Options& o) { o.scaleGroup = -1; }), with([](Options& o) { o.scaleGroup = 15; })},
      {with([](Options& o) { o.scaleGroup = 16; }), with([](Options& o) { o.scaleGroup = 15; })},
      {with([](Options& o) { o.points = static_cast<api::Points>(9); }),
       with([](Options& o) { o.points = api::Points::Point; })},
      {with([](Options& o) { o.space = static_cast<api::Space>(-2); }),
       with([](Options& o) { o.space = api::Space::Model; })},
  };
  for (const auto& c : cases) EXPECT_TRUE(dxf(c.out) == dxf(c.in));
  EXPECT_FALSE(dxf(with([](Options& o) { o.scaleGroup = 1; })) ==
               dxf(with([](Options& o) { o.scaleGroup = 15; })));
}

// A drawing in memory whose file's last change is known (a browser knows
// no more of a file) gets it as both header dates: the update date a
// conversion of the file itself writes.
TEST_F(ApiConvert, BytesTakeTheLastChangeGivenAsBothDates) {
  const TDrawing d = JwwMixed();
  const std::string src = Put(d);
  const struct timespec times[2] = {{1700000000, 0}, {1700000123, 456000000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, src.c_str(), times, 0), 0);
  const std::string dst = dir_.Path() + "/dates.dxf";
  ASSERT_TRUE(ConvertFile(src, dst, Options{}, true).ok);
  const std::string fromFile = ReadFileText(dst);
  const auto written = tessa::platform::FileTime(src, tessa::platform::TFileTime::written);
  ASSERT_TRUE(written.has_value());
  std::string dxf;
  ASSERT_TRUE(ConvertBytes(d.bytes, d.format, Options{}, dxf, *written).ok);
  auto value = [](const std::string& text, const std::string& name) {
    const std::string key = name + "\r\n 40\r\n";
    const size_t at = text.find(key);
    if (at == std::string::npos) return std::string("missing");
    const size_t from = at + key.size();
    return text.substr(from, text.find('\r', from) - from);
  };
  EXPECT_EQ(value(dxf, "$TDUPDATE"), value(fromFile, "$TDUPDATE"));
  EXPECT_EQ(value(dxf, "$TDCREATE"), value(fromFile, "$TDUPDATE"));
  EXPECT_EQ(value(dxf, "$TDUUPDATE"), value(fromFile, "$TDUUPDATE"));
  EXPECT_TRUE(BlankDates(dxf) == BlankDates(fromFile));
  // Without it the dates are day zero.
  std::string undated;
  ASSERT_TRUE(ConvertBytes(d.bytes, d.format, Options{}, undated).ok);
  EXPECT_EQ(value(undated, "$TDUPDATE"), "2415018.5");
}

TEST_F(ApiConvert, CountsAndWarningsOfAMixedDrawing) {
  const TDrawing d = JwwMixed();
  std::string dxf;
  const api::Result r = ConvertBytes(d.bytes, d.format, Options{}, dxf);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.version, 700);
  EXPECT_EQ(r.written.at("LINE") >= 2, true);
  EXPECT_EQ(r.written.at("INSERT"), 2);
  EXPECT_EQ(r.written.at("BLOCK"), 1);  // the drawing's one definition
  EXPECT_EQ(r.written.at("SOLID"), 1);
  EXPECT_EQ(r.written.at("ELLIPSE"), 1);
  EXPECT_EQ(r.written.at("POINT"), 1);
  EXPECT_EQ(r.written.count("VIEWPORT"), 0u);  // model space has none
  const std::vector<std::string> want = {"1 setting text of Jw_cad left out"};
  EXPECT_NE(std::find(r.warnings.begin(), r.warnings.end(), want[0]), r.warnings.end());
  // Strings read as Unicode are neither left out nor mended.
  for (const std::string& w : r.warnings) EXPECT_EQ(w.find("Unicode"), w.npos) << w;

  // Points as marker blocks add the marker's definition; paper space adds
  // the viewports of the layer groups in use and writes the definition once
  // per scale that places it (groups 0 and 1 here).
  Options o;
  o.points = api::Points::Diamond;
  o.space = api::Space::Paper;
  const api::Result m = ConvertBytes(d.bytes, d.format, o, dxf);
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(m.written.at("BLOCK"), 3);
  EXPECT_EQ(m.written.at("INSERT"), 3);
  EXPECT_GE(m.written.at("VIEWPORT"), 1);
  EXPECT_EQ(m.written, WrittenOfFile(dxf));
}

// The same rules hold for ConvertFile and for the two steps a batch takes
// (the DXF made in memory, then all files put on disk in one call).
TEST_F(ApiConvert, OutputRules) {
  const std::string src = Put(JwwMixed());
  const std::string kept = "not to be lost";
  // A hard link with a DXF name is still the drawing itself.
  const std::string alias = dir_.Path() + "/alias.dxf";
  ASSERT_EQ(::link(src.c_str(), alias.c_str()), 0);
  const std::string drawingBytes = ReadFileText(src);
  const std::string expected = [&] {
    const std::string p = dir_.Path() + "/expected.dxf";
    EXPECT_TRUE(ConvertFile(src, p, Options{}, false).ok);
    return ReadFileText(p);
  }();

  struct Case {
    std::string dst;
    bool overwrite;
    const char* code;  // nullptr: converted
  };
  for (const bool twoSteps : {false, true}) {
    SCOPED_TRACE(twoSteps ? "in memory, then put on disk" : "ConvertFile");
    const std::string tag = twoSteps ? "2" : "1";
    auto fresh = [&](const std::string& name) {
      const std::string p = dir_.Path() + "/" + tag + name;
      std::ofstream(p, std::ios::binary | std::ios::trunc) << kept;
      return p;
    };
    const std::vector<Case> cases = {
        {dir_.Path() + "/other.JWW", true, "output-is-drawing"},
        {dir_.Path() + "/other.jwk", false, "output-is-drawing"},
        {dir_.Path() + "/other.Jws", true, "output-is-drawing"},
        {src, true, "output-is-drawing"},
        {alias, true, "output-is-drawing"},
        {fresh("exists.dxf"), false, "output-exists"},
        {dir_.Path() + "/no/such/folder/out.dxf", true, "write-failed"},
        {dir_.Path() + "/bin", true, "write-failed"},  // a folder
        {fresh("replaced.dxf"), true, nullptr},
        {dir_.Path() + "/" + tag + "new.dxf", false, nullptr},
    };
    std::vector<bool> existed;
    std::vector<std::string> before;
    for (const Case& c : cases) {
      existed.push_back(Exists(c.dst));
      before.push_back(existed.back() ? ReadFileText(c.dst) : "");
    }
    std::vector<api::Result> results(cases.size());
    if (!twoSteps) {
      for (size_t i = 0; i < cases.size(); ++i)
        results[i] = ConvertFile(src, cases[i].dst, Options{}, cases[i].overwrite);
    } else {
      std::vector<std::string> texts(cases.size());
      std::vector<api::DxfFile> files;
      std::vector<size_t> of;
      for (size_t i = 0; i < cases.size(); ++i) {
        results[i] =
            api::ConvertFileToMemory(src, cases[i].dst, Options{}, cases[i].overwrite, texts[i]);
        EXPECT_EQ(texts[i].empty(), !results[i].ok);
        if (!results[i].ok) continue;
        EXPECT_EQ(texts[i], expected);  // the file's dates too
        files.push_back({cases[i].dst, texts[i], cases[i].overwrite});
        of.push_back(i);
      }
      const std::vector<std::optional<api::Reason>> put = api::PutDxfFiles(files);
      ASSERT_EQ(put.size(), files.size());
      for (size_t k = 0; k < put.size(); ++k) {
        if (!put[k]) continue;
        results[of[k]].ok = false;
        results[of[k]].reason = put[k];
        results[of[k]].written.clear();
      }
    }
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const api::Result& r = results[i];
      SCOPED_TRACE(c.dst);
      if (!c.code) {
        ASSERT_TRUE(r.ok) << r.reason->message;
        EXPECT_EQ(ReadFileText(c.dst), expected);
        continue;
      }
      ASSERT_FALSE(r.ok);
      ASSERT_TRUE(r.reason.has_value());
      EXPECT_EQ(api::ReasonName(r.reason->code), c.code);
      EXPECT_FALSE(r.reason->message.empty());
      EXPECT_EQ(r.reason->offset, -1);
      EXPECT_TRUE(r.written.empty());
      EXPECT_EQ(Exists(c.dst), existed[i]);
      if (existed[i]) {
        EXPECT_EQ(ReadFileText(c.dst), before[i]);
      }
    }
  }
  EXPECT_EQ(ReadFileText(src), drawingBytes);
  // No temporary file is left beside the outputs.
  for (const std::string& n : Listing(dir_.Path())) EXPECT_EQ(n.find(".tessa-"), n.npos) << n;
  EXPECT_TRUE(Listing(tmp_).empty());
}

// A file that appears between the conversion and its writing is left as
// it is without overwrite, and replaced with it.
TEST_F(ApiConvert, PuttingOnDiskChecksTheTargetAgain) {
  const std::string src = Put(JwwMixed());
  const std::string kept = dir_.Path() + "/kept.dxf", replaced = dir_.Path() + "/replaced.dxf";
  std::string a, b;
  ASSERT_TRUE(api::ConvertFileToMemory(src, kept, Options{}, false, a).ok);
  ASSERT_TRUE(api::ConvertFileToMemory(src, replaced, Options{}, true, b).ok);
  std::ofstream(kept) << "meanwhile";
  std::ofstream(replaced) << "meanwhile";
  const std::vector<api::DxfFile> files = {{kept, a, false}, {replaced, b, true}};
  const std::vector<std::optional<api::Reason>> put = api::PutDxfFiles(files);
  ASSERT_EQ(put.size(), 2u);
  ASSERT_TRUE(put[0].has_value());
  EXPECT_EQ(api::ReasonName(put[0]->code), "output-exists");
  EXPECT_EQ(ReadFileText(kept), "meanwhile");
  EXPECT_FALSE(put[1].has_value());
  EXPECT_EQ(ReadFileText(replaced), b);
  const std::optional<api::Reason> drawing = api::PutDxfFile(dir_.Path() + "/x.jww", a, true);
  ASSERT_TRUE(drawing.has_value());
  EXPECT_EQ(api::ReasonName(drawing->code), "output-is-drawing");
  EXPECT_FALSE(Exists(dir_.Path() + "/x.jww"));
  for (const std::string& n : Listing(dir_.Path())) EXPECT_EQ(n.find(".tessa-"), n.npos) << n;
}

// A drawing that fails to read leaves no file, not even a partial one,
// and an existing output stays as it was.
TEST_F(ApiConvert, FailedReadWritesNothing) {
  TDrawing d = JwwMixed();
  d.bytes.resize(d.bytes.size() / 2);
  const std::string src = Put(d);
  const std::string dst = dir_.Path() + "/half.dxf";
  const api::Result r = ConvertFile(src, dst, Options{}, true);
  ASSERT_FALSE(r.ok);
  EXPECT_FALSE(Exists(dst));
  std::ofstream(dst) << "old";
  EXPECT_FALSE(ConvertFile(src, dst, Options{}, true).ok);
  EXPECT_EQ(ReadFileText(dst), "old");
  std::string dxf = "stale";
  EXPECT_FALSE(ConvertBytes(d.bytes, d.format, Options{}, dxf).ok);
  EXPECT_TRUE(dxf.empty());
  EXPECT_TRUE(Listing(tmp_).empty());
}

// Several threads converting at once get what each gets alone.
TEST_F(ApiConvert, ThreadsGetTheirOwnDrawings) {
  const std::vector<TDrawing> drawings = AllFixtures();
  const std::vector<Options> options = OptionTable();
  struct Job {
    size_t drawing, option;
    std::string alone, together;
    bool ok = false;
  };
  std::vector<Job> jobs;
  for (size_t i = 0; i < drawings.size(); ++i)
    for (size_t j = 0; j < options.size(); ++j) jobs.push_back({i, j, "", "", false});
  for (Job& j : jobs)
    ConvertBytes(drawings[j.drawing].bytes, drawings[j.drawing].format, options[j.option],
                 j.alone);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (size_t k = t; k < jobs.size(); k += 4) {
        Job& j = jobs[k];
        j.ok = ConvertBytes(drawings[j.drawing].bytes, drawings[j.drawing].format,
                            options[j.option], j.together)
                   .ok;
      }
    });
  for (std::thread& t : threads) t.join();
  for (const Job& j : jobs) {
    EXPECT_TRUE(j.ok);
    EXPECT_TRUE(BlankDates(j.alone) == BlankDates(j.together))
        << drawings[j.drawing].name << " #" << j.option;
  }
}

TEST(ApiNames, FormatsAndVersions) {
  struct Case {
    const char* path;
    std::optional<api::Format> format;
  } cases[] = {{"a/b.jww", api::Format::Jww}, {"B.JWS", api::Format::Jws},
               {"c.JwC", api::Format::Jwc},   {"/x/d.jwk", api::Format::Jwk},
               {"e.dxf", std::nullopt},       {"jww", std::nullopt},
               {"dir.jww/file", std::nullopt}, {"f.jww.bak", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(api::FormatOfPath(c.path), c.format) << c.path;
  for (api::Format f : {api::Format::Jww, api::Format::Jws, api::Format::Jwc, api::Format::Jwk})
    EXPECT_EQ(api::FormatFromName(api::FormatName(f)), f);
  // Names as people and bindings give them: any case, a leading dot.
  EXPECT_EQ(api::FormatFromName("JWW"), api::Format::Jww);
  EXPECT_EQ(api::FormatFromName(".jwk"), api::Format::Jwk);
  EXPECT_EQ(api::FormatFromName("dwg"), std::nullopt);
  EXPECT_EQ(api::DxfVersionName(api::DxfVersion::R12), "r12");
  EXPECT_EQ(api::DxfVersionName(api::DxfVersion::R2000), "r2000");
  EXPECT_EQ(api::DxfVersionName(api::DxfVersion::R2007), "r2007");
}

// Every value of every named option goes in by its name and comes back by
// it, sets its option alone, and a name it does not know is refused with
// the names it does.
TEST(ApiNames, OptionValuesByName) {
  for (api::Option option : api::AllOptions()) {
    SCOPED_TRACE(std::string(api::OptionName(option)));
    EXPECT_EQ(api::OptionFromName(api::OptionName(option)), option);
    const std::vector<std::string_view> names = api::OptionValueNames(option);
    std::string listed;
    for (std::string_view n : names) listed += (listed.empty() ? "" : ", ") + std::string(n);
    for (std::string_view name : names) {
      Options o;
      std::string upper(name);
      for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      ASSERT_FALSE(api::SetOption(o, option, upper)) << name;
      EXPECT_EQ(api::OptionValueText(o, option), name);
      for (api::Option other : api::AllOptions())
        if (other != option) {
          EXPECT_EQ(api::OptionValueText(o, other), api::OptionValueText(Options{}, other));
        }
    }
    Options o;
    const std::optional<api::Reason> bad = api::SetOption(o, option, "r14");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->code, api::ReasonCode::BadOption);
    if (!names.empty()) {
      EXPECT_EQ(bad->message, "r14 is not one of " + listed);
    }
  }
  EXPECT_EQ(api::OptionFromName("pen_colours"), api::Option::PenColours);
  const struct {
    api::Option option;
    const char* value;
    bool ok;
  } numbers[] = {{api::Option::ScaleGroup, "15", true}, {api::Option::ScaleGroup, "16", false},
                 {api::Option::ScaleGroup, "-1", false}, {api::Option::ScaleGroup, "3x", false},
                 {api::Option::PointSize, "0.001", true}, {api::Option::PointSize, "1000", true},
                 {api::Option::PointSize, "0.0009", false}, {api::Option::PointSize, "nan", false},
                 {api::Option::PointSize, "inf", false}, {api::Option::PointSize, "", false}};
  for (const auto& c : numbers) {
    Options o;
    EXPECT_EQ(!api::SetOption(o, c.option, c.value), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(api::OptionValueText(o, c.option), c.value);
    }
  }
}

// Every reason code has its stable name, found again by it, and words of
// its own for a reason made without any.
TEST(ApiNames, ReasonCodes) {
  std::set<std::string_view> names, messages;
  for (api::ReasonCode code : api::AllReasonCodes()) {
    EXPECT_EQ(api::ReasonFromName(api::ReasonName(code)), code);
    names.insert(api::ReasonName(code));
    messages.insert(api::DefaultMessage(code));
    EXPECT_EQ(api::MakeReason(code).message, api::DefaultMessage(code));
  }
  EXPECT_EQ(names.size(), api::AllReasonCodes().size());
  EXPECT_EQ(messages.size(), api::AllReasonCodes().size());
  const api::Reason exists = api::MakeReason(api::ReasonCode::OutputExists);
  EXPECT_EQ(api::Describe(exists, "a.jww", "a.dxf"), "a.dxf: the output exists already");
  const api::Reason cut = api::MakeReason(api::ReasonCode::Truncated, "the file ends at 12", 12);
  EXPECT_EQ(api::Describe(cut, "a.jww", "a.dxf"), "a.jww: the file ends at 12");
  EXPECT_EQ(api::Describe(cut, ""), "the file ends at 12");
}

// ---- Real drawings ------------------------------------------------------------

std::vector<std::string> Samples() {
  std::vector<std::string> found;
  std::error_code ec;
  const std::string root = testing_support::SamplesDir();
  if (root.empty()) return found;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    if (api::FormatOfPath(it->path().string())) found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

TEST_F(ApiConvert, RealDrawingsGiveTheCommandLinesDxf) {
  const std::vector<std::string> samples = Samples();
  TESSA_REQUIRE_SAMPLES();
  ASSERT_FALSE(samples.empty()) << "no drawings under " << testing_support::SamplesDir();
  const std::vector<Options> options = OptionTable();
  for (size_t i = 0; i < samples.size(); ++i) {
    const Options& o = options[i % options.size()];
    SCOPED_TRACE(samples[i]);
    const std::string expected = CommandLine(samples[i], o);
    const std::string dst = dir_.Path() + "/sample.dxf";
    const api::Result r = ConvertFile(samples[i], dst, o, true);
    EXPECT_EQ(r.ok, !expected.empty()) << (r.reason ? r.reason->message : "");
    if (!r.ok) continue;
    const std::string got = ReadFileText(dst);
    EXPECT_TRUE(got == expected);
    EXPECT_EQ(r.written, WrittenOfFile(got));
    std::string dxf;
    const std::string bytes = ReadFileText(samples[i]);
    const api::Result rb = api::ConvertBytes(
        std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
        *api::FormatOfPath(samples[i]), o, dxf);
    EXPECT_TRUE(rb.ok);
    EXPECT_TRUE(BlankDates(dxf) == BlankDates(expected));
    EXPECT_EQ(rb.written, r.written);
    const api::Info info = api::Inspect(samples[i]);
    EXPECT_TRUE(info.ok);
    EXPECT_EQ(info.version, r.version);
  }
}

}  // namespace
}  // namespace tessa::apitest
