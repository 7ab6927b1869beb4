// What only the in-memory file system does: count its operations and fail the ones it is told
// to, for the fault tests of the run.
#include "platform/memory_file_service.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex::fs {
namespace {

// One small run: a folder, a written file, a read file; a letter for each of its 10 operations,
// "o" for done and "x" for failed. Operations after a failing create or open are skipped.
std::string SmallRun(TextFileService& service) {
  std::string done;
  auto note = [&](const Status& status) { done += status.ok() ? "o" : "x"; };
  std::unique_ptr<TextStream> out, in;
  note(service.CreateFolder("C:\\out"));
  note(service.CreateTextFile("C:\\src\\a.cls", &out));
  for (const char* line : {"one", "two"}) {
    if (out) note(out->WriteLine(line));
  }
  if (out) note(out->Close());
  note(service.OpenTextFile("C:\\src\\page.asp", &in));
  std::string line;
  while (in && !in->AtEndOfStream()) note(in->ReadLine(&line));
  if (in) note(in->Close());
  return done;
}

// Every operation but FileExists counts; the n-th counted from when it was asked for fails,
// and only that one, but for the close after a failed write. A failed read ends its stream.
TEST(MemoryFileSystemTest, FailNthOperationFailsEachOperationInTurn) {
  const std::string runs[] = {"oooooooooo", "xooooooooo", "oxooooo",   "ooxoxooooo",
                              "oooxxooooo", "ooooxooooo", "ooooox",    "ooooooxo",
                              "oooooooxo",  "ooooooooxo", "ooooooooox"};
  for (long n = 0; n <= 10; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n));
    auto files = MemoryFileSystem::Create();
    files->AddFile("C:\\src\\page.asp", "a\r\nb\r\nc\r\n");
    auto service = files->NewService();
    ASSERT_TRUE(service->CreateFolder("C:\\first").ok());
    EXPECT_TRUE(service->FileExists("C:\\src\\page.asp"));
    if (n > 0) files->FailNthOperation(n);
    EXPECT_EQ(SmallRun(*service), runs[n]);
    EXPECT_EQ(files->OperationCount(), 1 + static_cast<long>(runs[n].size()));
    EXPECT_EQ(files->FolderExists("C:\\out"), n != 1);
    EXPECT_EQ(files->Contents("C:\\src\\a.cls"),
              n >= 2 && n <= 5 ? std::nullopt : std::optional<std::string>("one\r\ntwo\r\n"));
  }
}

}  // namespace
}  // namespace vorlintex::fs
