// Runs every kept fuzz input through its target's entry function: the seed corpus, and every
// input that once broke a rule (fuzz/regressions/<target>/). An input that breaks a rule again
// aborts the test, naming the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"

namespace vorlintex::fuzz {

// Test names and CTest's listing show a target by its name, not by its bytes.
void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

namespace {

namespace stdfs = std::filesystem;

const stdfs::path kFuzzDir = VORLINTEX_FUZZ_DIR;

std::vector<stdfs::path> InputsIn(const stdfs::path& folder) {
  std::vector<stdfs::path> inputs;
  if (!stdfs::is_directory(folder)) return inputs;
  for (const stdfs::directory_entry& entry : stdfs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
      inputs.push_back(entry.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

std::string ReadAll(const stdfs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs each input of `folder`; the number run.
size_t Replay(const FuzzTarget& target, const stdfs::path& folder) {
  const std::vector<stdfs::path> inputs = InputsIn(folder);
  for (const stdfs::path& input : inputs) {
    SetInputName(input.string());
    const std::string bytes = ReadAll(input);
    EXPECT_EQ(target.entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0)
        << input;
  }
  SetInputName("");
  return inputs.size();
}

class ReplayTest : public testing::TestWithParam<FuzzTarget> {};

TEST_P(ReplayTest, SeedCorpus) {
  const FuzzTarget& target = GetParam();
  // Every target keeps a seed corpus; an empty or missing folder means it was lost.
  EXPECT_GT(Replay(target, kFuzzDir / "corpus" / target.name), 0u);
}

TEST_P(ReplayTest, Regressions) {
  const FuzzTarget& target = GetParam();
  if (Replay(target, kFuzzDir / "regressions" / target.name) == 0) {
    GTEST_SKIP() << "no input of " << target.name << " has broken a rule yet";
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, ReplayTest, testing::ValuesIn(kFuzzTargets),
                         [](const testing::TestParamInfo<FuzzTarget>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vorlintex::fuzz
