// Writes the small drawings the Python tests need into a folder:
//   py_fixture_drawings <folder>
// Each broken one is named after what is wrong with it; one drawing of each
// format lies in <folder>/formats.
#include <cstdio>
#include <string>

#include <filesystem>

#include "JwwFixtureWriter.h"
#include "api_fixtures.h"

using namespace tessa;
using namespace tessa::test;

namespace {

// One line and a placed block, for the mutations below.
TJwwData Plain(int32_t ver = 700) {
  TJwwData d = MakeJwwDrawing(ver);
  AddLine(d, Line(0, 0, 100, 0));
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: py_fixture_drawings <folder>\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;

  // Block 1 places block 2, which places block 1 again.
  {
    TJwwData d = Plain();
    TEntJwwBlockDef& one = AddBlockDef(d, 1, u"one");
    AddBlock(one, Insert(2, 10, 0));
    TEntJwwBlockDef& two = AddBlockDef(d, 2, u"two");
    AddBlock(two, Insert(1, 0, 10));
    AddBlock(d, Insert(1, 50, 50));
    ok &= WriteJwwFile(dir + "block_cycle.jww", d);
  }
  // Each block places the next, 80 deep.
  {
    TJwwData d = Plain();
    for (uint32_t n = 1; n <= 80; ++n) {
      TEntJwwBlockDef& def = AddBlockDef(d, n, u"b" + std::u16string(1, u'0' + n % 10));
      AddLine(def, Line(0, 0, 1, 1));
      if (n < 80) AddBlock(def, Insert(n + 1, 1, 0));
    }
    AddBlock(d, Insert(1, 50, 50));
    ok &= WriteJwwFile(dir + "blocks_nested_80_deep.jww", d);
  }
  // A file version no Jw_cad release wrote.
  ok &= WriteJwwFile(dir + "version_701.jww", Plain(701));
  // The entity count promises far more records than the file holds.
  {
    TJwwData d = Plain();
    TJwArchiveWriter w;
    WriteJwwHeader(w, d);
    w.U16(0xFFFF);
    w.U32(0x7FFFFFFF);
    WriteEntity(w, d.Enthd.jwVer, d, 1, 0);
    ok &= WriteBytesFile(dir + "entity_count_past_end.jww", w.bytes);
  }
  // An entity of a class no Jw_cad release knows.
  {
    TJwwWriteOptions o;
    o.classNames[1] = "CDataNone";
    ok &= WriteJwwFile(dir + "unknown_class.jww", Plain(), o);
  }
  // Plenty of lines: reading them needs some megabytes of memory.
  {
    TJwwData d = MakeJwwDrawing(600);
    for (int i = 0; i < 100000; ++i) AddLine(d, Line(i, 0, i, 1));
    ok &= WriteJwwFile(dir + "lines_100000.jww", d);
  }
  std::filesystem::create_directories(dir + "formats");
  for (const apitest::TDrawing& d : apitest::AllFixtures())
    ok &= WriteBytesFile(dir + "formats/" + d.name, d.bytes);
  return ok ? 0 : 1;
}
