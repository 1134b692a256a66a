// JWW reader: archive header and tables, entity lists, block definitions,
// block tree, bound images written to (and removed from) a private image
// folder, layer step and extents.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "attributes/UnitGraAtt.h"
#include "drawing/JwwUnit.h"

using namespace tessa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string root = fuzz::ScratchDir();
  const std::string images = root + "TEMP/";

  TJwwData d;
  d.BindImageFolder = images;
  d.BindImageExp = true;
  d.BindImageExr = true;
  if (d.FileInMem(data, size)) {
    fuzz::CheckWalkable(d);
    d.BindImageExplode();
    TgraAttribute att;
    d.SetGAttLayer(att);
    (void)d.GetMinMaxZahyo();
  }
  fuzz::CheckWalkable(d);

  // Emptying the container removes every image it wrote; nothing may have
  // been written beside the image folder.
  d.BindImageDeleteGzFile();
  d.BindImageDeleteNonGzFile();
  d.DataFree();
  for (const std::string& n : fuzz::ListDir(root)) FUZZ_CHECK(n == "TEMP");
  FUZZ_CHECK(fuzz::ListDir(images).empty());
  return 0;
}
