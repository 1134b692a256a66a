// Entry point: one conversion per process, no output but the DXF file,
// and always exit code 0.
#include <malloc.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/Unit1.h"

namespace {

// The executable's real location (links resolved), so that the settings
// file is the one lying beside the program file itself.
std::string ExePath(const char* argv0) {
  char* real = realpath("/proc/self/exe", nullptr);
  if (real == nullptr && argv0 != nullptr) real = realpath(argv0, nullptr);
  if (real == nullptr) return argv0 != nullptr ? argv0 : "";
  std::string path(real);
  std::free(real);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  // Blocks below this size come from the heap, not from mappings of their
  // own: what one step frees (the file's bytes once read, lists outgrown)
  // then serves the next without the kernel clearing fresh pages.  A large
  // drawing took a third fewer page faults and a tenth less time.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  // Nor is freed memory handed back to the kernel along the way: the
  // helper thread that lays out the ENTITIES section frees and takes a
  // block of its own for every part.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  // A file-size limit (ulimit -f) must end in a failed write, which removes
  // the partial output, not in the end of the process.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    tessa::RunConverter(args, ExePath(argc > 0 ? argv[0] : nullptr));
  } catch (...) {
  }
  return 0;
}
