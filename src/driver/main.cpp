// Entry point: one conversion per process, no output but the DXF file,
// and always exit code 0.
#include <string>
#include <vector>

#include "driver/Unit1.h"
#include "platform/Platform.h"

namespace {

int Run(const std::vector<std::string>& args) {
  // Blocks below this size come from the heap, not from mappings of their
  // own: what one step frees (the file's bytes once read, lists outgrown)
  // then serves the next without the kernel clearing fresh pages.  A large
  // drawing took a third fewer page faults and a tenth less time.
  // Nor is freed memory handed back to the kernel along the way: the
  // helper thread that lays out the ENTITIES section frees and takes a
  // block of its own for every part.
  tessa::platform::KeepLargeBlocksOnHeap(256 << 20);
  // A file-size limit (ulimit -f) must end in a failed write, which removes
  // the partial output, not in the end of the process.
  tessa::platform::IgnoreFileSizeLimitSignal();
  try {
    // The executable's real location (links resolved), so that the settings
    // file is the one lying beside the program file itself.
    tessa::RunConverter(args,
                        tessa::platform::ExecutablePath(args.empty() ? nullptr : args[0].c_str()));
  } catch (...) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return Run(tessa::platform::CommandLineArguments(argc, argv)); }
