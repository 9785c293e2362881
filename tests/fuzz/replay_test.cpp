// The fuzz harnesses, built without libFuzzer, on every input kept beside
// them: the regression cases (inputs that once crashed or hung a reader) and
// the seeds. A kept input must run through its reader to the end, within
// the time the fuzzer allows one input.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "targets.h"

namespace trelmo::fuzz {
namespace {

namespace fs = std::filesystem;

struct Target {
  const char* name;
  Body body;
};

#define TRELMO_FUZZ_ROW(name, function) Target{#name, function},
const Target kTargets[] = {TRELMO_FUZZ_TARGETS(TRELMO_FUZZ_ROW)};
#undef TRELMO_FUZZ_ROW

const fs::path kFuzzDir = TRELMO_FUZZ_DIR;
constexpr auto kTimeout = std::chrono::seconds(10);

std::vector<fs::path> filesUnder(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(folder, ec))
    if (e.is_regular_file() && e.path().filename().string().front() != '.' && e.path().extension() != ".md")
      files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void replay(const Target& t, const fs::path& file) {
  const std::string bytes = slurp(file);
  const auto start = std::chrono::steady_clock::now();
  t.body(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeout) << file;
}

class Replay : public ::testing::TestWithParam<Target> {};

TEST_P(Replay, EveryKeptInputRunsToTheEnd) {
  const Target& t = GetParam();
  for (const fs::path& f : filesUnder(kFuzzDir / "regressions" / t.name)) replay(t, f);
  // The whole chain takes every format's seeds; the others their own.
  const fs::path seeds = std::string(t.name) == "fuzz_reader_chain" ? kFuzzDir / "seeds" : kFuzzDir / "seeds" / t.name;
  for (const fs::path& f : filesUnder(seeds)) replay(t, f);
}

TEST_P(Replay, HasSeedsAndADictionary) {
  const Target& t = GetParam();
  if (std::string(t.name) == "fuzz_reader_chain") GTEST_SKIP() << "the chain draws on every format's seeds";
  EXPECT_FALSE(filesUnder(kFuzzDir / "seeds" / t.name).empty()) << t.name;
  EXPECT_TRUE(fs::is_regular_file(kFuzzDir / "dicts" / (std::string(t.name) + ".dict"))) << t.name;
  EXPECT_TRUE(fs::is_regular_file(kFuzzDir / (std::string(t.name) + ".cpp"))) << t.name;
}

INSTANTIATE_TEST_SUITE_P(Harness, Replay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace trelmo::fuzz
