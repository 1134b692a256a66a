#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "../util/unitval_expect.h"
#include "driver/Unit1.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"
#include "drawing/JwConvContext.h"

namespace tessa {
namespace {

// A folder standing in for the executable's folder.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = tmp_.Path();
    ASSERT_FALSE(dir_.empty());
    // Values a previous run could have left, so start-up must set them.
    form_.Ctx.Place.ExtMinX = form_.Ctx.Place.ExtMinY = -1;
    form_.Ctx.Place.ExtMaxX = form_.Ctx.Place.ExtMaxY = 1;
    form_.Ctx.Place.PaperX = form_.Ctx.Place.PaperY = 7;
    form_.Ctx.CurFileName = "old.jww";
    form_.Ctx.Opt.TenSize = 99;
    form_.Ctx.Opt.Space = form_.Ctx.Opt.ScaleGroup = 9;
    form_.Ctx.Opt.TenType = form_.Ctx.Opt.LayerNameType = 9;
    form_.Ctx.AppTitle = u"old";
  }
  void TearDown() override {
    if (created_) form_.FormClose();
  }

  std::string Exe() const { return dir_ + "/tessaconv"; }

  // Lines 1..21 given by number; the others are empty.
  void WriteSettings(const std::map<int, std::string>& lines, const std::string& eol = "\r\n",
                     int count = 21) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
      auto it = lines.find(i);
      text += (it == lines.end() ? std::string() : it->second) + eol;
    }
    WriteRaw(text);
  }
  void WriteRaw(const std::string& bytes) {
    std::ofstream(dir_ + "/Tessaconv.dat", std::ios::binary) << bytes;
  }
  void Create(std::vector<std::string> args = {"/somewhere/tessaconv"}) {
    created_ = true;
    form_.FormCreate(args, Exe());
  }

  TTempFolder tmp_{"tessa_settings_"};
  std::string dir_;
  TForm1 form_;
  bool created_ = false;
};

TEST_F(SettingsTest, NoSettingsFileGivesDefaults) {
  Create({"/bin/tessaconv", "a", "b"});
  EXPECT_EQ(form_.AppDir, dir_ + "/");
  EXPECT_EQ(form_.Ctx.AppTitle, kAppTitleText);
  EXPECT_EQ(form_.Fm1x, 50);
  EXPECT_EQ(form_.Fm1y, 50);
  EXPECT_EQ(form_.Fm1w, 480);
  EXPECT_EQ(form_.Fm1h, 480);
  EXPECT_TRUE(form_.rb1);
  EXPECT_FALSE(form_.rb2 || form_.rb3 || form_.rb4 || form_.rb5);
  EXPECT_EQ(form_.ed1, u"");
  EXPECT_EQ(form_.lb1, u"");
  EXPECT_EQ(form_.lb2, Utf8ToStr(dir_ + "/"));
  EXPECT_EQ(form_.Fidx, 1);
  EXPECT_EQ(form_.gstyle, u"Windows");
  EXPECT_EQ(form_.cb2, 0);
  EXPECT_EQ(form_.cb3, 0);
  EXPECT_EQ(form_.cb4, 0);
  EXPECT_EQ(form_.cb5, 0);
  EXPECT_EQ(form_.cb6, 0);
  EXPECT_EQ(form_.cb7, 0);
  EXPECT_EQ(form_.ed2, u"");
  // Shared values after start-up.
  EXPECT_EQ(form_.Ctx.Opt.LayerNameType, 0);
  EXPECT_EQ(form_.Ctx.Opt.Space, 0);
  EXPECT_EQ(form_.Ctx.Opt.ScaleGroup, 0);
  EXPECT_EQ(form_.Ctx.Opt.TenType, 0);
  EXPECT_EQ(form_.Ctx.Opt.TenSize, 0.001);
  EXPECT_EQ(form_.Ctx.Opt.ColorSource, 1);
  EXPECT_EQ(form_.Ctx.BackColorNo, 0);
  EXPECT_EQ(form_.Ctx.CurFileName, "");
  ExpectStartExtentsAndPaper(form_.Ctx.Place);
  EXPECT_EQ(form_.Ctx.DxfModel, nullptr);
  // The text list holds the whole command line, program first.
  EXPECT_EQ(form_.Memo1, (std::vector<std::string>{"/bin/tessaconv", "a", "b"}));
}

TEST_F(SettingsTest, FullFileFillsEveryFieldInOrder) {
  WriteSettings({{1, "10"},
                 {2, "-20"},
                 {3, "300"},
                 {4, "$100"},
                 {5, "false"},
                 {6, "T"},
                 {7, "on"},
                 {8, "1"},
                 {9, "\x81\x9B"},  // white circle in code page 932
                 {10, "edit \x82\xA0"},
                 {11, " list one "},
                 {12, "C:\\jw"},
                 {13, "4"},
                 {14, "Fluent"},
                 {15, "2"},
                 {16, "1"},
                 {17, "3"},
                 {18, "1"},
                 {19, "7"},
                 {20, "6"},
                 {21, "2.5"}});
  Create();
  EXPECT_EQ(form_.Fm1x, 10);
  EXPECT_EQ(form_.Fm1y, -20);
  EXPECT_EQ(form_.Fm1w, 300);
  EXPECT_EQ(form_.Fm1h, 256);
  EXPECT_FALSE(form_.rb1);
  EXPECT_TRUE(form_.rb2);
  EXPECT_TRUE(form_.rb3);
  EXPECT_TRUE(form_.rb4);
  EXPECT_TRUE(form_.rb5);
  EXPECT_EQ(form_.ed1, u"edit \u3042");
  EXPECT_EQ(form_.lb1, u" list one ");  // texts are not trimmed
  EXPECT_EQ(form_.lb2, u"C:\\jw");
  EXPECT_EQ(form_.Fidx, 4);
  EXPECT_EQ(form_.gstyle, u"Fluent");
  EXPECT_EQ(form_.cb2, 2);
  EXPECT_EQ(form_.cb3, 1);
  EXPECT_EQ(form_.Ctx.Opt.ColorSource, 2);
  EXPECT_EQ(form_.cb4, 3);
  EXPECT_EQ(form_.Ctx.Opt.LayerNameType, 3);
  EXPECT_EQ(form_.Ctx.Opt.Space, 1);
  EXPECT_EQ(form_.Ctx.Opt.ScaleGroup, 7);
  EXPECT_EQ(form_.Ctx.Opt.TenType, 6);
  EXPECT_EQ(form_.Ctx.Opt.TenSize, 2.5);
}

TEST_F(SettingsTest, ShortFileReadsMissingLinesAsEmptyNotAsDefaults) {
  WriteRaw("1\n2\n3");  // three lines, the last without a line end
  Create();
  EXPECT_EQ(form_.Fm1x, 1);
  EXPECT_EQ(form_.Fm1y, 2);
  EXPECT_EQ(form_.Fm1w, 3);
  EXPECT_EQ(form_.Fm1h, 0);
  EXPECT_FALSE(form_.rb1);
  EXPECT_EQ(form_.lb2, u"");
  EXPECT_EQ(form_.Fidx, 0);
  EXPECT_EQ(form_.gstyle, u"");
  EXPECT_EQ(form_.Ctx.Opt.TenSize, 0.001);
}

TEST_F(SettingsTest, EmptyFileClearsEverything) {
  WriteRaw("");
  Create();
  EXPECT_EQ(form_.Fm1x, 0);
  EXPECT_FALSE(form_.rb1);
  EXPECT_EQ(form_.gstyle, u"");
  EXPECT_EQ(form_.lb2, u"");
}

struct ClampCase {
  int line;
  std::string text;
  int cb5, cb6, cb7;
  double tenSize;
};

TEST_F(SettingsTest, OptionsAreClampedInTheFields) {
  const ClampCase cases[] = {
      {19, "20", 0, 15, 0, 0.001},    {19, "-1", 0, 15, 0, 0.001},  {19, "15", 0, 15, 0, 0.001},
      {18, "2", 0, 0, 0, 0.001},      {18, "-1", 0, 0, 0, 0.001},   {18, "1", 1, 0, 0, 0.001},
      {20, "7", 0, 0, 0, 0.001},      {20, "-3", 0, 0, 0, 0.001},   {20, "6", 0, 0, 6, 0.001},
      {21, "5000", 0, 0, 0, 1000.0},  {21, "0.0005", 0, 0, 0, 0.001}, {21, "abc", 0, 0, 0, 0.001},
      {21, "-4", 0, 0, 0, 0.001},     {21, "1000", 0, 0, 0, 1000.0}, {21, " 3e1", 0, 0, 0, 30.0},
      {21, "0.001", 0, 0, 0, 0.001},
  };
  for (const auto& c : cases) {
    WriteSettings({{c.line, c.text}});
    TForm1 form;
    form.FormCreate({"p"}, Exe());
    EXPECT_EQ(form.cb5, c.cb5) << c.line << " " << c.text;
    EXPECT_EQ(form.cb6, c.cb6) << c.line << " " << c.text;
    EXPECT_EQ(form.cb7, c.cb7) << c.line << " " << c.text;
    EXPECT_EQ(form.Ctx.Opt.Space, c.cb5);
    EXPECT_EQ(form.Ctx.Opt.ScaleGroup, c.cb6);
    EXPECT_EQ(form.Ctx.Opt.TenType, c.cb7);
    EXPECT_EQ(form.Ctx.Opt.TenSize, c.tenSize) << c.line << " " << c.text;
    form.FormClose();
    // The settings as other front ends read them: the same values.
    const TSettingsOptions read = ReadSettingsOptions(dir_ + "/Tessaconv.dat");
    EXPECT_EQ(read.cb5, c.cb5) << c.line << " " << c.text;
    EXPECT_EQ(read.cb6, c.cb6) << c.line << " " << c.text;
    EXPECT_EQ(read.cb7, c.cb7) << c.line << " " << c.text;
    EXPECT_EQ(read.pointSize, c.tenSize) << c.line << " " << c.text;
  }
}

TEST_F(SettingsTest, VersionColourAndNamingKeepAnyValue) {
  WriteSettings({{15, "7"}, {16, "-5"}, {17, "-3"}});
  Create();
  EXPECT_EQ(form_.cb2, 7);
  EXPECT_EQ(form_.cb3, -5);
  EXPECT_EQ(form_.Ctx.Opt.ColorSource, -4);
  EXPECT_EQ(form_.cb4, -3);
  EXPECT_EQ(form_.Ctx.Opt.LayerNameType, -3);
  const TSettingsOptions read = ReadSettingsOptions(dir_ + "/Tessaconv.dat");
  EXPECT_EQ(read.cb2, 7);
  EXPECT_EQ(read.cb3, -5);
  EXPECT_EQ(read.cb4, -3);
  // No file: the defaults of start-up.
  const TSettingsOptions none = ReadSettingsOptions(dir_ + "/missing.dat");
  EXPECT_EQ(none.cb2, 0);
  EXPECT_EQ(none.cb6, 0);
  EXPECT_EQ(none.pointSize, 0.001);
}

TEST_F(SettingsTest, BooleanLineMatchesTheTrueWordsOnly) {
  const std::pair<std::string, bool> cases[] = {
      {"true", true},       {"On", true},         {"1", true},
      {"\x82\x50", true},   // full-width one
      {"\x81\x9B", true},   // white circle
      {"\x90\x5E", true},   // the kanji for "true"
      {"\x90\xB3", true},   // the kanji for "correct"
      {" true", false},     {"yes", false},       {"true ", false},
      {"TRUE\r", false},    // a lone CR stays part of the line
  };
  for (const auto& [text, expected] : cases) {
    WriteSettings({{5, text}});
    TForm1 form;
    form.FormCreate({"p"}, Exe());
    EXPECT_EQ(form.rb1, expected) << text;
    form.FormClose();
  }
}

TEST_F(SettingsTest, NumberLinesSkipLeadingBlanksOnly) {
  const std::pair<std::string, int> cases[] = {
      {"  2", 2}, {"2 ", 0}, {"\t2", 0}, {"x2", 2}, {"2.0", 0}, {std::string("2\0", 2), 0},
  };
  for (const auto& [text, expected] : cases) {
    WriteSettings({{15, text}});
    TForm1 form;
    form.FormCreate({"p"}, Exe());
    EXPECT_EQ(form.cb2, expected) << text;
    form.FormClose();
  }
}

TEST_F(SettingsTest, LfOnlyLinesAndLinesPastTwentyOne) {
  WriteSettings({{15, "1"}, {21, "12"}}, "\n", 21);
  // Extra lines after line 21 are never looked at.
  std::ofstream(dir_ + "/Tessaconv.dat", std::ios::app) << "99\n98\n";
  Create();
  EXPECT_EQ(form_.cb2, 1);
  EXPECT_EQ(form_.ed2, u"12");
  EXPECT_EQ(form_.Ctx.Opt.TenSize, 12.0);
}

TEST_F(SettingsTest, SettingsFolderIsTheExecutablesNotTheArgument) {
  WriteSettings({{15, "2"}});
  // args[0] points elsewhere; the executable path decides.
  Create({"/nonexistent/dir/tessaconv"});
  EXPECT_EQ(form_.cb2, 2);
  EXPECT_EQ(form_.AppDir, dir_ + "/");
}

TEST_F(SettingsTest, AFolderNamedLikeTheSettingsFileGivesDefaults) {
  ASSERT_TRUE(MakeFolder(dir_ + "/Tessaconv.dat"));
  Create();
  EXPECT_EQ(form_.Fm1x, 50);
  EXPECT_TRUE(form_.rb1);
  EXPECT_EQ(form_.gstyle, u"Windows");
}

struct ExtCase {
  std::string path;
  int format;
};

TEST(FormatOfPath, ChosenByLowerCasedExtension) {
  const ExtCase cases[] = {
      {"a.jww", fmtJww},     {"/x/A.JWW", fmtJww},  {"b.Jws", fmtJws},     {"c.jwc", fmtJwc},
      {"d.JWK", fmtJwk},     {"e.jwx", fmtNone},    {"f", fmtNone},        {"g.jww.bak", fmtNone},
      {"dir.jww/h", fmtNone}, {"i.jww ", fmtNone},  {".jww", fmtJww},      {"j.", fmtNone},
      {"k.dxf", fmtNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatOfPath(c.path), c.format) << c.path;
  }
}

TEST_F(SettingsTest, ShowWithFourArgumentsRemovesAnExistingOutput) {
  const std::string in = dir_ + "/in.jww";
  const std::string out = dir_ + "/out.dxf";
  std::ofstream(in) << "not a drawing";
  std::ofstream(out) << "old";
  Create({"p", "x", "y", in, out});
  form_.FormShow();
  EXPECT_TRUE(form_.Closed);
  EXPECT_FALSE(IsFile(out));
  EXPECT_TRUE(IsFile(in));
}

TEST_F(SettingsTest, ShowWithOtherArgumentCountsTouchesNothing) {
  const std::string in = dir_ + "/in.jww";
  const std::string out = dir_ + "/out.dxf";
  std::ofstream(in) << "not a drawing";
  std::ofstream(out) << "old";
  for (auto args : {std::vector<std::string>{"p", "x", in, out},
                    std::vector<std::string>{"p", "x", "y", in, out, "z"}}) {
    TForm1 form;
    form.FormCreate(args, Exe());
    form.FormShow();
    EXPECT_TRUE(IsFile(out));
  }
}

}  // namespace
}  // namespace tessa
