// Different drawings converted on four threads at once, many times over:
// every output equals the drawing's conversion made alone.  A conversion
// that touched anything outside its context and container (a shared table
// filled on the way, a value left by another drawing) shows up here as a
// different file, and under ThreadSanitizer as a data race.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "context_test_util.h"

#ifndef TESSA_SAMPLES_DIR
#define TESSA_SAMPLES_DIR ""
#endif

namespace tessa::test {
namespace {

namespace fs = std::filesystem;

constexpr int kThreads = 4;
constexpr int kRounds = 3;
// Real drawings taken of each kind: the smallest ones, so that the test
// stays quick under the thread sanitizer too.
constexpr size_t kSamplesPerKind = 3;

struct TJob {
  std::string path;
  TConvOptions opt;
  std::string expected;
};

// The smallest real drawings with extension ext (lower case) under dir.
std::vector<std::string> SmallestSamples(const std::string& dir, const std::string& ext) {
  std::vector<std::pair<uintmax_t, std::string>> found;
  std::error_code ec;
  if (dir.empty() || !fs::is_directory(dir, ec)) return {};
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string e = it->path().extension().string();
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    if (e == ext) found.emplace_back(it->file_size(ec), it->path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (size_t i = 0; i < found.size() && i < kSamplesPerKind; ++i) paths.push_back(found[i].second);
  return paths;
}

// Options that take different paths through the conversion.
std::vector<TConvOptions> OptionSets() {
  TConvOptions modelR12;
  TConvOptions paper2000;
  paper2000.DxfVer = 1;
  paper2000.Space = 1;
  paper2000.ScaleGroup = 1;
  paper2000.TenType = 3;
  paper2000.TenSize = 0.5;
  TConvOptions names2007;
  names2007.DxfVer = 2;
  names2007.LayerNameType = 2;
  names2007.ColorSource = 2;
  names2007.TenType = 1;
  return {modelR12, paper2000, names2007};
}

TEST(ContextThreads, ConcurrentConversionsEqualTheirSequentialOnes) {
  TScratch scratch;
  ASSERT_FALSE(scratch.Dir().empty());
  const std::string& dir = scratch.Dir();

  std::vector<std::string> drawings = {dir + "light.jww", dir + "dark.jww", dir + "sym.jws",
                                       dir + "plan.jwc", dir + "sym.jwk"};
  ASSERT_TRUE(WriteJwwFile(drawings[0], FixtureJww(false)));
  ASSERT_TRUE(WriteJwwFile(drawings[1], FixtureJww(true)));
  ASSERT_TRUE(WriteJwsFile(drawings[2], FixtureJws()));
  ASSERT_TRUE(fixture::WriteFile(drawings[3], FixtureJwc().Build()));
  ASSERT_TRUE(fixture::WriteFile(drawings[4], FixtureJwk().Build()));
  for (const char* ext : {".jww", ".jws"})
    for (const std::string& p : SmallestSamples(TESSA_SAMPLES_DIR, ext)) drawings.push_back(p);

  std::vector<TJob> jobs;
  for (const std::string& p : drawings)
    for (const TConvOptions& o : OptionSets()) jobs.push_back({p, o, {}});
  for (TJob& j : jobs) {
    j.expected = Convert(j.opt, j.path, dir + "alone.dxf");
    ASSERT_FALSE(j.expected.empty()) << j.path;
  }

  // Each thread starts at another job and walks all of them, every other
  // round from the bytes in memory instead of the file.
  std::vector<std::vector<std::string>> faults(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        for (size_t k = 0; k < jobs.size(); ++k) {
          const size_t i = (k + static_cast<size_t>(t) * jobs.size() / kThreads) % jobs.size();
          const bool fromBytes = (round + t) % 2 == 1;
          const std::string out = dir + "t" + std::to_string(t) + ".dxf";
          if (Convert(jobs[i].opt, jobs[i].path, out, fromBytes) != jobs[i].expected)
            faults[static_cast<size_t>(t)].push_back(jobs[i].path + (fromBytes ? " (bytes)" : ""));
        }
      }
    });
  }
  for (std::thread& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_TRUE(faults[static_cast<size_t>(t)].empty())
        << "thread " << t << ": " << faults[static_cast<size_t>(t)].size()
        << " outputs differ, first " << faults[static_cast<size_t>(t)].front();
}

}  // namespace
}  // namespace tessa::test
