// The fault injection the run's fault tests rest on: over either platform, it counts the file
// operations and fails the ones it is told to.
#include "platform/fault_injection_env.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_service_test_harness.h"

namespace vorlintex {
namespace {

// One small run under `root`: a folder, a written file, a read file; a letter for each of its
// 10 operations, "o" for done and "x" for failed. Operations after a failing create or open are
// skipped.
std::string SmallRun(fs::TextFileService& service, const std::string& root) {
  std::string done;
  auto note = [&](const Status& status) { done += status.ok() ? "o" : "x"; };
  std::unique_ptr<fs::TextStream> out, in;
  note(service.CreateFolder(root + "out"));
  note(service.CreateTextFile(root + "src\\a.cls", &out));
  for (const char* line : {"one", "two"}) {
    if (out) note(out->WriteLine(line));
  }
  if (out) note(out->Close());
  note(service.OpenTextFile(root + "src\\page.asp", &in));
  std::string line;
  while (in && !in->AtEndOfStream()) note(in->ReadLine(&line));
  if (in) note(in->Close());
  return done;
}

class FaultInjectionEnvTest : public ::testing::TestWithParam<fs::HarnessFactory> {};

// Every operation but FileExists counts; the n-th counted from when it was asked for fails,
// and only that one, but for the close after a failed write, which leaves no file behind. A
// failed read ends its stream.
TEST_P(FaultInjectionEnvTest, FailNthOperationFailsEachOperationInTurn) {
  const std::string runs[] = {"oooooooooo", "xooooooooo", "oxooooo",   "ooxoxooooo",
                              "oooxxooooo", "ooooxooooo", "ooooox",    "ooooooxo",
                              "oooooooxo",  "ooooooooxo", "ooooooooox"};
  for (long n = 0; n <= 10; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n));
    std::unique_ptr<fs::Harness> harness = GetParam().make();
    harness->Put("src/page.asp", "a\r\nb\r\nc\r\n");
    FaultInjectionEnv env(harness->env());
    std::unique_ptr<fs::TextFileService> service;
    ASSERT_TRUE(env.NewFileService(&service).ok());
    const std::string root = harness->Root() + "\\";
    ASSERT_TRUE(service->CreateFolder(root + "first").ok());
    EXPECT_TRUE(service->FileExists(root + "src\\page.asp"));
    if (n > 0) env.FailNthOperation(n);
    EXPECT_EQ(SmallRun(*service, root), runs[n]);
    EXPECT_EQ(env.OperationCount(), 1 + static_cast<long>(runs[n].size()));
    EXPECT_EQ(env.FolderIdentity(root + "out").has_value(), n != 1);
    const bool written = n < 2 || n > 5;
    EXPECT_EQ(harness->Get("src/a.cls"),
              written ? std::optional<std::string>("one\r\ntwo\r\n") : std::nullopt);
    const fs::Lines names = written ? fs::Lines{"a.cls", "page.asp"} : fs::Lines{"page.asp"};
    EXPECT_EQ(harness->Names("src"), names);
  }
}

INSTANTIATE_TEST_SUITE_P(Services, FaultInjectionEnvTest, ::testing::ValuesIn(fs::kHarnesses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlintex
