// Every input kept from fuzzing (regress/<target>/) replayed through the
// same checks the fuzz targets make: the reader of its format (or, for
// regress/pipeline, the whole converter in one process; for regress/api,
// the library's inspection and conversion in memory) must finish without a
// crash, a sanitizer report or a hang, and leave a container that later
// steps can walk, a folder with nothing but a whole DXF, or a result whose
// reason and DXF text hold together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ProcessRunner.h"

extern "C" int TessaFuzzJww(const uint8_t* data, size_t size);
extern "C" int TessaFuzzJws(const uint8_t* data, size_t size);
extern "C" int TessaFuzzJwc(const uint8_t* data, size_t size);
extern "C" int TessaFuzzJwk(const uint8_t* data, size_t size);
extern "C" int TessaFuzzPipeline(const uint8_t* data, size_t size);
extern "C" int TessaFuzzApi(const uint8_t* data, size_t size);

namespace tessa::hardening {
namespace {

struct TTarget {
  const char* dir;
  int (*run)(const uint8_t*, size_t);
};
// Printed as its name in test listings.
inline std::ostream& operator<<(std::ostream& os, const TTarget& c) { return os << c.dir; }

const TTarget kTargets[] = {
    {"jww", TessaFuzzJww}, {"jws", TessaFuzzJws},           {"jwc", TessaFuzzJwc},
    {"jwk", TessaFuzzJwk}, {"pipeline", TessaFuzzPipeline}, {"api", TessaFuzzApi},
};

class Regress : public ::testing::TestWithParam<TTarget> {};

TEST_P(Regress, KeptInputsPassTheFuzzChecks) {
  const TTarget& t = GetParam();
  const std::string dir = std::string(TESSA_REGRESS_DIR) + "/" + t.dir + "/";
  std::vector<std::string> names = ListNames(dir);
  std::sort(names.begin(), names.end());
  fuzz::ThrowOnFail(true);
  for (const std::string& n : names) {
    if (n == "README.md") continue;
    const std::string bytes = ReadFile(dir + n);
    try {
      t.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    } catch (const fuzz::TCheckFailed& e) {
      ADD_FAILURE() << t.dir << "/" << n << ": " << e.what;
    }
  }
  fuzz::ThrowOnFail(false);
}

INSTANTIATE_TEST_SUITE_P(Targets, Regress, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<TTarget>& i) {
                           return std::string(i.param.dir);
                         });

}  // namespace
}  // namespace tessa::hardening
