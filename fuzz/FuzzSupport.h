// Shared pieces of the fuzz targets: a private scratch folder per fuzzing
// process, writing an input to a file, listing a folder, and checks that
// abort (so libFuzzer keeps the input) when a reader leaves a container
// that later steps could not walk safely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessa {
class TJwwBaseData;
class TJwcData;
class TJwkData;
}  // namespace tessa

namespace tessa::fuzz {

// Prints what failed and aborts; after ThrowOnFail(true) (the regression
// test replaying kept inputs) it throws TCheckFailed instead.
[[noreturn]] void Fail(const char* what, const char* file, int line);
void ThrowOnFail(bool on);
struct TCheckFailed {
  std::string what;
};

#define FUZZ_CHECK(cond) \
  ((cond) ? (void)0 : ::tessa::fuzz::Fail(#cond, __FILE__, __LINE__))

// A folder of its own under $TMPDIR (or /tmp), created on first use and
// removed with everything in it when the process ends normally.  Ends with
// a separator.
const std::string& ScratchDir();

// Writes the bytes to path, replacing the file.
void WriteInput(const std::string& path, const uint8_t* data, size_t size);

// Names in a folder, without "." and ".."; empty when it does not exist.
std::vector<std::string> ListDir(const std::string& dir);

// Removes a folder tree (used to reset state between inputs).
void RemoveTree(const std::string& path);

// Counts match the arrays and every order entry points into its array, in
// the drawing's lists, every block definition and the block tree.
void CheckWalkable(const TJwwBaseData& d);
void CheckWalkable(const TJwcData& d);
void CheckWalkable(const TJwkData& d);

}  // namespace tessa::fuzz
