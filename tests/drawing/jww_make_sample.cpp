// Writes the sample drawing: jww_make_sample <output.jww>
#include <cstdio>

#include "JwwFixtureWriter.h"
#include "jww_sample_drawing.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: jww_make_sample <output.jww>\n");
    return 2;
  }
  return tessa::test::WriteBytesFile(argv[1], tessa::test::SampleDrawingBytes()) ? 0 : 1;
}
