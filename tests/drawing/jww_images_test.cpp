// Images bound into JWW drawings: written while reading, gzip ones
// unpacked, all deleted again; names from the drawing never leave the
// image folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gzip.h"
#include "jww_test_util.h"

namespace tessa::test {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

size_t CountFiles(const std::string& dir) {
  size_t n = 0;
  std::error_code ec;
  for (auto& e : fs::recursive_directory_iterator(dir, ec)) n += e.is_regular_file() ? 1 : 0;
  return n;
}

std::string Payload(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return s;
}

struct TImageDrawing {
  TJwwData src = MakeJwwDrawing(700);
  TJwwWriteOptions opt;
  void Add(std::u16string name, std::string content) {
    AddBindImage(src, std::move(name), static_cast<int32_t>(content.size()));
    opt.imageData.push_back(std::move(content));
  }
};

// Writer set up as the driver does it: both flags on, the folder given.
void SetUpReader(TJwwData& d, const std::string& folder) {
  d.BindImageExp = true;
  d.BindImageExr = true;
  d.BindImageFolder = folder;
}

TEST(JwwImages, WrittenUnpackedAndDeleted) {
  TTempFolder tmp;
  const std::string picture = Payload(10000);  // several 2048-byte pieces
  const std::string photo = Payload(2048);
  TImageDrawing img;
  img.Add(u"picture.jpg.gz", Gzip(picture));
  img.Add(u"photo.bmp", photo);
  img.Add(u"UPPER.PNG.GZ", Gzip("png"));
  img.Add(u"", "");
  img.Add(u"empty.bmp", "");
  AddMoji(img.src, Text(0, 0, u"^@BMpicture.jpg,100,50"));

  TJwwData d;
  SetUpReader(d, tmp.Dir());
  ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
  ASSERT_EQ(d.BindImageN, 5);
  EXPECT_EQ(d.BindImage[0].Fname, u"picture.jpg.gz");
  EXPECT_EQ(d.BindImage[1].Fsize, 2048);
  EXPECT_EQ(d.EntMojiN, 1);

  const std::string dir = d.BindImageDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.rfind(tmp.Dir(), 0), 0u);  // inside the image folder
  EXPECT_EQ(d.BindImagePath(1), dir + "photo.bmp");
  EXPECT_EQ(Slurp(dir + "photo.bmp"), photo);
  EXPECT_EQ(Slurp(dir + "picture.jpg.gz"), Gzip(picture));
  EXPECT_FALSE(IsFile(dir + "empty.bmp"));  // size 0: no file
  EXPECT_EQ(CountFiles(tmp.Dir()), 3u);

  d.BindImageExplode();
  EXPECT_EQ(Slurp(dir + "picture.jpg"), picture);
  EXPECT_EQ(Slurp(dir + "UPPER.PNG"), "png");
  EXPECT_FALSE(IsFile(dir + "photo"));  // not compressed: not unpacked
  EXPECT_EQ(d.BindImagePlainPath(0), dir + "picture.jpg");

  d.BindImageDeleteGzFile();
  EXPECT_FALSE(IsFile(dir + "picture.jpg.gz"));
  EXPECT_TRUE(IsFile(dir + "picture.jpg"));
  EXPECT_TRUE(IsFile(dir + "photo.bmp"));
  d.BindImageDeleteNonGzFile();
  EXPECT_EQ(CountFiles(tmp.Dir()), 0u);
  EXPECT_FALSE(IsFolder(dir));  // the private subfolder goes when empty
  EXPECT_TRUE(IsFolder(tmp.Dir()));
}

TEST(JwwImages, OnlyFromVersion700AndOnlyWithTheFlags) {
  TTempFolder tmp;
  for (int32_t ver : {699, 700}) {
    for (bool exp : {false, true}) {
      SCOPED_TRACE(testing::Message() << ver << " " << exp);
      TImageDrawing img;
      img.src.Enthd.jwVer = ver;
      img.Add(u"a.bmp", "abc");
      std::vector<uint8_t> b = WriteJww(img.src, img.opt);
      if (ver < 700) {  // an old file with the section anyway: not looked at
        TJwArchiveWriter w;
        WriteBindImages(w, img.src, img.opt);
        b.insert(b.end(), w.bytes.begin(), w.bytes.end());
      }
      TJwwData d;
      SetUpReader(d, tmp.Dir());
      d.BindImageExp = exp;
      ASSERT_TRUE(ReadJww(d, b));
      EXPECT_EQ(d.BindImageN, ver >= 700 ? 1 : 0);
      EXPECT_EQ(CountFiles(tmp.Dir()), ver >= 700 && exp ? 1u : 0u);
    }
  }
  // With neither flag the section is not touched: even a broken one.
  TImageDrawing img;
  std::vector<uint8_t> b = WriteJww(img.src, img.opt);
  b.resize(b.size() - 2);
  TJwwData d;
  ASSERT_TRUE(ReadJww(d, b));
  EXPECT_EQ(d.BindImageN, 0);
}

// Names with separators or parent steps never reach the file system; the
// images around them are still read.
TEST(JwwImages, NamesStayInsideTheFolder) {
  TTempFolder tmp;
  const std::string folder = tmp.Dir() + "TEMP/";
  ASSERT_TRUE(MakeFolder(folder));
  TImageDrawing img;
  const std::u16string bad[] = {u"../escape.bmp", u"..", u".", u"sub/x.bmp", u"..\\win.bmp",
                                u"/tmp/abs.bmp", u"C:evil.bmp", u"a\\b.bmp"};
  for (const std::u16string& n : bad) img.Add(n, "evil");
  img.Add(u"good.bmp", "good");
  TJwwData d;
  SetUpReader(d, folder);
  ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
  EXPECT_EQ(d.BindImageN, 9);
  EXPECT_EQ(CountFiles(tmp.Dir()), 1u);
  EXPECT_EQ(Slurp(d.BindImageDir() + "good.bmp"), "good");
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(d.BindImagePath(i).empty());
  // A file that an unsafe name would point at is never deleted.
  std::ofstream(tmp.Dir() + "escape.bmp") << "keep";
  d.BindImageExplode();
  d.BindImageDeleteGzFile();
  d.BindImageDeleteNonGzFile();
  EXPECT_TRUE(IsFile(tmp.Dir() + "escape.bmp"));
  EXPECT_EQ(CountFiles(folder), 0u);
}

// Two conversions sharing one image folder keep apart.
TEST(JwwImages, TwoReadersShareTheFolder) {
  TTempFolder tmp;
  TImageDrawing img;
  img.Add(u"same.bmp", "first");
  TImageDrawing img2;
  img2.Add(u"same.bmp", "second");
  TJwwData a, b;
  SetUpReader(a, tmp.Dir());
  SetUpReader(b, tmp.Dir());
  ASSERT_TRUE(ReadJww(a, WriteJww(img.src, img.opt)));
  ASSERT_TRUE(ReadJww(b, WriteJww(img2.src, img2.opt)));
  EXPECT_NE(a.BindImageDir(), b.BindImageDir());
  EXPECT_EQ(Slurp(a.BindImagePath(0)), "first");
  EXPECT_EQ(Slurp(b.BindImagePath(0)), "second");
  a.BindImageDeleteGzFile();
  a.BindImageDeleteNonGzFile();
  EXPECT_EQ(Slurp(b.BindImagePath(0)), "second");
}

// A corrupt gzip image leaves the reading alone; whatever was unpacked goes
// with the others.
TEST(JwwImages, CorruptGzipAndCutData) {
  TTempFolder tmp;
  TImageDrawing img;
  std::string gz = Gzip(Payload(5000));
  gz.resize(gz.size() / 2);
  img.Add(u"broken.jpg.gz", gz);
  img.Add(u"garbage.gz", "not gzip at all");
  TJwwData d;
  SetUpReader(d, tmp.Dir());
  ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
  d.BindImageExplode();
  d.BindImageDeleteGzFile();
  d.BindImageDeleteNonGzFile();
  EXPECT_EQ(CountFiles(tmp.Dir()), 0u);

  // The last image's data cut short: no file is left for it.
  TImageDrawing cut;
  cut.Add(u"ok.bmp", "fine");
  cut.Add(u"cut.bmp", Payload(5000));
  std::vector<uint8_t> b = WriteJww(cut.src, cut.opt);
  b.resize(b.size() - 100);
  TJwwData d2;
  SetUpReader(d2, tmp.Dir());
  ReadJww(d2, b);
  EXPECT_EQ(d2.BindImageN, 2);
  EXPECT_TRUE(IsFile(d2.BindImagePath(0)));
  EXPECT_FALSE(IsFile(d2.BindImagePath(1)));
}

// A name already written by an earlier image of the same drawing is
// replaced; the container removes its folder when it goes.
TEST(JwwImages, ReplacedAndCleanedAtTheEnd) {
  TTempFolder tmp;
  TImageDrawing img;
  img.Add(u"x.bmp", "one");
  img.Add(u"x.bmp", "two");
  std::string dir;
  {
    TJwwData d;
    SetUpReader(d, tmp.Dir());
    ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
    dir = d.BindImageDir();
    EXPECT_EQ(Slurp(dir + "x.bmp"), "two");
    // Emptying the list without deleting leaves files the container still owns.
    d.BindImageInit();
  }
  EXPECT_FALSE(IsFolder(dir));
  EXPECT_EQ(CountFiles(tmp.Dir()), 0u);
}

TEST(JwwImages, FolderMissingOrUnset) {
  TTempFolder tmp;
  TImageDrawing img;
  img.Add(u"a.bmp", "abc");
  img.Add(u"b.bmp", "def");
  {  // a folder that does not exist yet is created
    TJwwData d;
    SetUpReader(d, tmp.Dir() + "new/deeper/");
    ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
    EXPECT_EQ(Slurp(d.BindImagePath(1)), "def");
  }
  {  // no folder at all: nothing written, the drawing still reads
    TJwwData d;
    SetUpReader(d, "");
    ASSERT_TRUE(ReadJww(d, WriteJww(img.src, img.opt)));
    EXPECT_EQ(d.BindImageN, 2);
    EXPECT_TRUE(d.BindImageDir().empty());
  }
}

}  // namespace
}  // namespace tessa::test
