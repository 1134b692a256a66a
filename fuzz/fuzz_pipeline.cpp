// The whole converter from bytes to DXF: settings file, command line, the
// load pipeline of the chosen format, the conversion and the writer, then
// the close.  Three leading bytes choose the format and the options; the
// rest is the drawing.  Afterwards the output folder holds either nothing
// or one complete DXF file, and nothing else is left anywhere.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "DxfShape.h"
#include "FuzzSupport.h"
#include "driver/Unit1.h"

using namespace tessa;

namespace {

const char* const kExt[] = {".jww", ".jws", ".jwc", ".jwk"};
const char* const kTenSize[] = {"", "1", "0.5", "1000", "5000", "-3", "2.5", "abc"};

std::string ReadAll(const std::string& path) {
  std::string s;
  FILE* f = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(f != nullptr);
  char buf[65536];
  size_t k;
  while ((k = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, k);
  std::fclose(f);
  return s;
}

void WriteSettings(const std::string& path, uint8_t b1, uint8_t b2) {
  std::string s;
  auto line = [&](const std::string& v) { s += v + "\r\n"; };
  for (const char* v : {"50", "50", "480", "480", "1", "0", "0", "0", "0", "", "", "", "1",
                        "Windows"})
    line(v);
  line(std::to_string(b1 & 3));         // cb2: DXF version (3 is not one)
  line(std::to_string((b1 >> 2) & 1));  // cb3: screen or printer pens
  line(std::to_string((b1 >> 3) & 3));  // cb4: layer naming
  line(std::to_string((b1 >> 5) & 1));  // cb5: model or paper space
  line(std::to_string(b2 & 15));        // cb6: base layer group
  line(std::to_string((b2 >> 4) & 7));  // cb7: point type (7 is clamped)
  line(kTenSize[(b1 >> 6) | ((b2 >> 7) << 2)]);
  fuzz::WriteInput(path, reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::string root = fuzz::ScratchDir();
  const std::string bin = root + "bin/", in = root + "in/", out = root + "out/";
  for (const std::string& d : {bin, in, out}) fuzz::RemoveTree(d);
  for (const std::string& d : {bin, in, out}) FUZZ_CHECK(::mkdir(d.c_str(), 0777) == 0);

  const std::string src = in + "drawing" + kExt[data[0] & 3];
  const std::string dst = out + "drawing.dxf";
  WriteSettings(bin + "Tessaconv.dat", data[1], data[2]);
  fuzz::WriteInput(src, data + 3, size - 3);

  RunConverter({bin + "tessaconv", "-a", "-b", src, dst}, bin + "tessaconv");

  for (const std::string& n : fuzz::ListDir(out)) FUZZ_CHECK(n == "drawing.dxf");
  if (!fuzz::ListDir(out).empty()) {
    dxfshape::TDxfShape shape;
    const std::string fault = dxfshape::CheckDxf(ReadAll(dst), shape);
    if (!fault.empty()) fuzz::Fail(fault.c_str(), __FILE__, __LINE__);
  }
  for (const std::string& n : fuzz::ListDir(bin)) FUZZ_CHECK(n == "Tessaconv.dat");
  FUZZ_CHECK(fuzz::ListDir(in).size() == 1);
  for (const std::string& n : fuzz::ListDir(root))
    FUZZ_CHECK(n == "bin" || n == "in" || n == "out");
  return 0;
}
