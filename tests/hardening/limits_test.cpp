// Where the readers stop believing a drawing: block nesting deeper than
// any real drawing and nested copies that multiply without end are
// refused, while the deepest accepted nesting, a block placing itself and
// ordinary drawings still read.  Counts that claim more than the file
// holds fail before anything is sized by them.
#include <gtest/gtest.h>

#include "HardeningDrawings.h"
#include "drawing/JwwUnit.h"

namespace tessa::hardening {
namespace {

bool ReadJww(TJwwData& d, const TBytes& b) { return d.FileInMem(b.data(), b.size()); }

TEST(Limits, NestingDepth) {
  struct Case {
    uint32_t depth;  // definitions in the chain; the deepest copy sits at depth - 1
    bool accepted;
  };
  for (const Case c : {Case{2, true}, Case{65, true}, Case{66, false}, Case{200, false}}) {
    TJwwData d;
    EXPECT_EQ(ReadJww(d, JwwNestedChain(c.depth)), c.accepted) << "depth " << c.depth;
    // Refused or not, the tree stops at the deepest accepted level.
    EXPECT_EQ(d.EntBlockTreeN, static_cast<int32_t>(std::min<uint32_t>(c.depth, 65)));
  }
}

TEST(Limits, MultiplyingCopies) {
  TJwwData small;
  EXPECT_TRUE(ReadJww(small, JwwDoublingChain(10)));
  EXPECT_EQ(small.EntBlockTreeN, (1 << 10) - 1);

  // 2^48 copies from a file of a few kilobytes: refused, and the part of
  // the tree built stays within the budget of a small file.
  TJwwData huge;
  const TBytes b = JwwDoublingChain(48);
  EXPECT_FALSE(ReadJww(huge, b));
  EXPECT_LE(huge.EntBlockTreeN, 1 << 16);
}

TEST(Limits, CountsBeyondTheFile) {
  for (uint32_t n : {0xFFFFFFF0u, 0x80000000u, 70000u}) {
    TJwwData d;
    EXPECT_FALSE(ReadJww(d, JwwClaimingEntities(n))) << n;
    EXPECT_EQ(d.EntLineN, 2);
    EXPECT_LE(d.EntNo.capacity(), 64u);  // nothing reserved for the claim
  }
  TJwwData defs;
  EXPECT_FALSE(ReadJww(defs, JwwClaimingBlockDefs(0xFFFFFFF0u)));
  EXPECT_LE(defs.EntBlockDef.capacity(), 8u);
  TJwwData images;
  images.BindImageExr = true;
  EXPECT_FALSE(ReadJww(images, JwwClaimingImages(0xFFFFFFF0u)));
  EXPECT_LE(images.BindImage.capacity(), 8u);
}

}  // namespace
}  // namespace tessa::hardening
