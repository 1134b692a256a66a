// The real drawings by Jw_cad users that some tests read.  They are looked
// for in $TESSA_SAMPLES_DIR first, then in the folder CMake was given
// (cache variable TESSA_SAMPLES_DIR).  Tests that need them skip, with one
// message saying where they were looked for, when neither holds them.
#pragma once

#include <string>
#include <vector>

namespace tessa::testing_support {

// The samples folder (without a trailing "/"); empty when none was found.
std::string SamplesDir();

// Where the samples were looked for, for the skip message.
std::string SamplesLookedFor();

// Files under SamplesDir()/sub (recursively) whose lower-cased extension
// is `ext` (".jww"), sorted.
std::vector<std::string> SampleFiles(const std::string& sub, const std::string& ext);

}  // namespace tessa::testing_support

// Skips the current test when the real drawings are not there.
#define TESSA_REQUIRE_SAMPLES()                                                         \
  do {                                                                                  \
    if (::tessa::testing_support::SamplesDir().empty())                                 \
      GTEST_SKIP() << "real drawings not found; looked in "                             \
                   << ::tessa::testing_support::SamplesLookedFor();                     \
  } while (0)
