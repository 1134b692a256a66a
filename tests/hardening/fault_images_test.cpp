// Bound images on disk: runs that share the image folder beside the
// executable (at the same time, or one left behind by a killed run), and
// image names from the drawing that try to leave that folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "HardeningDrawings.h"
#include "ProcessRunner.h"

namespace tessa::hardening {
namespace {

using TImages = std::vector<std::pair<std::u16string, std::string>>;

// Image files of every run below the image folder: relative path -> content.
std::map<std::string, std::string> ImageFiles(const TConverterBox& box) {
  std::map<std::string, std::string> files;
  for (const auto& [path, content] : Snapshot(box.ImageFolder()))
    if (content != "<dir>") files[path] = content;
  return files;
}

// Content of every image file of that name, whichever run wrote it.
std::vector<std::string> ContentsOf(const std::map<std::string, std::string>& files,
                                    const std::string& name) {
  std::vector<std::string> out;
  for (const auto& [path, content] : files)
    if (path.size() >= name.size() + 1 &&
        path.compare(path.size() - name.size() - 1, std::string::npos, "/" + name) == 0)
      out.push_back(content);
  return out;
}

// The DXF a drawing gives when it is converted alone.
std::string ConvertAlone(const TConverterBox& box, const std::string& src) {
  const std::string dst = box.Out() + "alone.dxf";
  box.Run(src, dst);
  std::string text = ReadFile(dst);
  RemoveTree(dst);
  return text;
}

// Two drawings whose images have the same names but different contents.
struct TTwoDrawings {
  TConverterBox box;
  std::string a = box.In() + "a.jww", b = box.In() + "b.jww";
  std::string dxfA, dxfB;
  TTwoDrawings(int linesA, int linesB) {
    WriteFile(a, JwwWithImages(linesA, {{u"pic.bmp", "AAAA-bitmap"},
                                        {u"pic.jpg.gz", Gzip("AAAA-unpacked")}}));
    WriteFile(b, JwwWithImages(linesB, {{u"pic.bmp", "BBBB-bitmap"},
                                        {u"pic.jpg.gz", Gzip("BBBB-unpacked")}}));
    dxfA = ConvertAlone(box, a);
    dxfB = ConvertAlone(box, b);
  }
};

TEST(FaultImages, RunStartedTogetherGiveTheirOwnFiles) {
  TTwoDrawings t(3000, 2000);
  ASSERT_EQ(DxfProblem(t.dxfA), "");
  ASSERT_NE(t.dxfA, t.dxfB);
  for (int round = 0; round < 3; ++round) {
    const pid_t pa = t.box.Start(t.a, t.box.Out() + "a.dxf");
    const pid_t pb = t.box.Start(t.b, t.box.Out() + "b.dxf");
    EXPECT_TRUE(WaitChild(pa, 120).exited);
    EXPECT_TRUE(WaitChild(pb, 120).exited);
    EXPECT_TRUE(ReadFile(t.box.Out() + "a.dxf") == t.dxfA) << "round " << round;
    EXPECT_TRUE(ReadFile(t.box.Out() + "b.dxf") == t.dxfB) << "round " << round;
    RemoveTree(t.box.Out() + "a.dxf");
    RemoveTree(t.box.Out() + "b.dxf");
  }
  EXPECT_FALSE(Exists(t.box.ImageFolder()));
}

// Run A is held still while its images are on disk; a whole run B with
// images of the same names goes by; A's images must be untouched, and A
// then finishes with its own result.
TEST(FaultImages, RunDoesNotTouchTheImagesOfAnother) {
  TTwoDrawings t(20000, 10);
  const pid_t pa = t.box.Start(t.a, t.box.Out() + "a.dxf");
  ASSERT_TRUE(WaitUntilHoldsFileIn(pa, t.box.Out()));
  SendSignal(pa, SIGSTOP);
  const auto imagesOfA = ImageFiles(t.box);
  EXPECT_EQ(ContentsOf(imagesOfA, "pic.bmp"), std::vector<std::string>{"AAAA-bitmap"});
  EXPECT_EQ(ContentsOf(imagesOfA, "pic.jpg"), std::vector<std::string>{"AAAA-unpacked"});

  TExit rb = t.box.Run(t.b, t.box.Out() + "b.dxf");
  EXPECT_TRUE(rb.exited);
  EXPECT_TRUE(ReadFile(t.box.Out() + "b.dxf") == t.dxfB);
  EXPECT_EQ(ImageFiles(t.box), imagesOfA);

  SendSignal(pa, SIGCONT);
  EXPECT_TRUE(WaitChild(pa, 120).exited);
  EXPECT_TRUE(ReadFile(t.box.Out() + "a.dxf") == t.dxfA);
  EXPECT_FALSE(Exists(t.box.ImageFolder()));
}

// Images a killed run could not delete are removed by a later run; images
// of a run that is still going are not.
TEST(FaultImages, ImagesOfAKilledRunAreRemovedLater) {
  TTwoDrawings t(20000, 10);
  const pid_t killed = t.box.Start(t.a, t.box.Out() + "a.dxf");
  ASSERT_TRUE(WaitUntilHoldsFileIn(killed, t.box.Out()));
  SendSignal(killed, SIGKILL);
  WaitChild(killed, 120);
  ASSERT_FALSE(ImageFiles(t.box).empty());

  TExit r = t.box.Run(t.b, t.box.Out() + "b.dxf");
  EXPECT_TRUE(r.exited);
  EXPECT_TRUE(ReadFile(t.box.Out() + "b.dxf") == t.dxfB);
  EXPECT_TRUE(ImageFiles(t.box).empty());
  EXPECT_FALSE(Exists(t.box.ImageFolder()));
}

// Image names that point outside the image folder, at files planted there
// to be overwritten or deleted.  None is touched, and the drawing itself is
// converted.
TEST(FaultImages, NamesCannotLeaveTheImageFolder) {
  TConverterBox box;
  const std::string victim = "VICTIM";
  for (const std::string& p :
       {box.Bin() + "victim.bmp", box.Bin() + "victim.png", box.Bin() + "victim.jpg",
        box.Root() + "victim.bmp", box.In() + "victim.bmp", box.Out() + "victim.bmp"})
    WriteFile(p, victim);
  // A file another run left in the shared folder itself.
  ::mkdir(box.ImageFolder().c_str(), 0755);
  WriteFile(box.ImageFolder() + "shared.bmp", victim);

  const std::u16string absBin = [&] {
    std::u16string s;
    for (char c : box.Bin()) s.push_back(static_cast<unsigned char>(c));
    return s;
  }();
  const std::string gz = Gzip("overwritten");
  const TImages images = {
      {u"../victim.bmp", "X"},
      {u"../../victim.bmp", "X"},
      {u"..\\victim.bmp", "X"},
      {u"../victim.png.gz", gz},  // unpacked (and later deleted) as ../victim.png
      {u"..", "X"},
      {u".", "X"},
      {u"../in/victim.bmp", "X"},
      {u"sub/../../victim.bmp", "X"},
      {absBin + u"victim.jpg", "X"},
      {absBin + u"victim.jpg.gz", gz},
      {u"C:\\victim.bmp", "X"},
      {u"shared.bmp", "mine"},
      {u"plain.bmp", "fine"},
  };
  WriteFile(box.In() + "plan.jww", JwwWithImages(5, images));
  const auto before = Snapshot(box.Root());

  TExit r = box.Run(box.In() + "plan.jww", box.Out() + "plan.dxf");
  EXPECT_TRUE(r.exited);
  ASSERT_TRUE(Exists(box.Out() + "plan.dxf"));
  EXPECT_EQ(DxfProblem(ReadFile(box.Out() + "plan.dxf")), "");
  auto after = Snapshot(box.Root());
  after.erase("out/plan.dxf");
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace tessa::hardening
