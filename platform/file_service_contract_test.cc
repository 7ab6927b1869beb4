// The behaviour both file services share, checked against each: the in-memory one and the real
// one over a fresh temporary folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/text_file_service.h"
#include "platform/file_service_test_harness.h"

namespace vorlintex::fs {
namespace {

using Lines = std::vector<std::string>;

class FileServiceContractTest : public ::testing::TestWithParam<HarnessFactory> {
 protected:
  void SetUp() override {
    harness_ = GetParam().make();
    root_ = harness_->Root();
  }

  TextFileService& service() { return harness_->service(); }
  // A path under the test's folder, joined with "\" as a page path is.
  std::string At(const std::string& relative) { return root_ + "\\" + relative; }

  // Every line of the file, read the way the run reads: while not at end, read a line.
  Lines ReadAll(const std::string& path) {
    std::unique_ptr<TextStream> stream;
    Status status = service().OpenTextFile(path, &stream);
    EXPECT_TRUE(status.ok()) << status.ToString();
    Lines lines;
    if (!status.ok()) return lines;
    std::string line;
    while (!stream->AtEndOfStream()) {
      Status read = stream->ReadLine(&line);
      EXPECT_TRUE(read.ok()) << read.ToString();
      lines.push_back(line);
    }
    EXPECT_TRUE(stream->Close().ok());
    return lines;
  }

  std::unique_ptr<Harness> harness_;
  std::string root_;
};

struct LineCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

TEST_P(FileServiceContractTest, ReadsLinesAsWritten) {
  const std::string long_run(70000, 'x');
  const std::string before_block_end(65535, 'a');  // its CR LF straddles a 64 KiB block
  const LineCase cases[] = {
      {"lf", "one\ntwo\n", {"one", "two"}},
      {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
      {"mixed ends", "one\r\ntwo\nthree\r\n", {"one", "two", "three"}},
      {"lone cr inside a line", "a\rb\r\nc\n", {"a\rb", "c"}},
      {"last line without end", "one\r\ntwo", {"one", "two"}},
      {"cr at the very end", "one\r", {"one\r"}},
      {"empty file", "", {}},
      {"one empty line", "\r\n", {""}},
      {"empty lines", "\n\r\n\n", {"", "", ""}},
      {"nul bytes", std::string("a\0b\r\n\0\n", 7), {std::string("a\0b", 3), std::string(1, '\0')}},
      {"cr cr lf", "x\r\r\ny\n", {"x\r", "y"}},
      {"high bytes", "caf\xE9\r\n\xC3\xA9t\xC3\xA9\r\n", {"caf\xE9", "\xC3\xA9t\xC3\xA9"}},
      {"line longer than a block", long_run + "\r\nend", {long_run, "end"}},
      {"line end across blocks", before_block_end + "\r\nb\r\n", {before_block_end, "b"}},
  };
  int index = 0;
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string name = "case" + std::to_string(index++) + ".txt";
    harness_->Put(name, c.bytes);
    EXPECT_EQ(ReadAll(At(name)), c.lines);
  }
}

TEST_P(FileServiceContractTest, ReadPastTheEndFailsAndStaysAtEnd) {
  harness_->Put("one.txt", "only\r\n");
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().OpenTextFile(At("one.txt"), &stream).ok());
  std::string line = "left over";
  ASSERT_TRUE(stream->ReadLine(&line).ok());
  EXPECT_EQ(line, "only");
  EXPECT_TRUE(stream->AtEndOfStream());
  Status status = stream->ReadLine(&line);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), At("one.txt"));
  EXPECT_EQ(status.reason(), "Input past end of file");
  EXPECT_TRUE(stream->AtEndOfStream());
}

TEST_P(FileServiceContractTest, WriteLineEndsEachLineWithCrLf) {
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().CreateTextFile(At("out.txt"), &stream).ok());
  EXPECT_TRUE(stream->WriteLine("first").ok());
  EXPECT_TRUE(stream->WriteLine("").ok());
  EXPECT_TRUE(stream->WriteLine(std::string("nul\0here", 8)).ok());
  EXPECT_TRUE(stream->WriteLine("lf\ninside").ok());
  EXPECT_TRUE(stream->Close().ok());
  EXPECT_EQ(harness_->Get("out.txt"), std::string("first\r\n\r\nnul\0here\r\nlf\ninside\r\n", 30));
}

TEST_P(FileServiceContractTest, ManyLinesSurviveBuffering) {
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().CreateTextFile(At("many.txt"), &stream).ok());
  std::string expected;
  Lines lines;
  for (int i = 0; i < 30000; ++i) {
    std::string line = "line " + std::to_string(i) + std::string(i % 17, '-');
    ASSERT_TRUE(stream->WriteLine(line).ok());
    expected += line + "\r\n";
    lines.push_back(line);
  }
  std::string huge(200000, 'h');
  ASSERT_TRUE(stream->WriteLine(huge).ok());
  expected += huge + "\r\n";
  lines.push_back(huge);
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(harness_->Get("many.txt"), expected);
  EXPECT_EQ(ReadAll(At("many.txt")), lines);
}

TEST_P(FileServiceContractTest, StreamDestroyedOpenKeepsWhatWasWritten) {
  {
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(service().CreateTextFile(At("kept.txt"), &stream).ok());
    ASSERT_TRUE(stream->WriteLine("kept").ok());
  }
  EXPECT_EQ(harness_->Get("kept.txt"), "kept\r\n");
}

// The name keeps its old file, or none, until the new one is closed whole; a file whose write
// failed never takes it, and nothing else is left in the folder.
TEST_P(FileServiceContractTest, AFileTakesItsNameOnlyWhenClosedWhole) {
  struct Case {
    const char* name;
    std::optional<std::string> old;
    bool writes_fail;
    std::optional<std::string> after;
  };
  const std::string old = "a much longer old text\r\nsecond\r\n";
  const Case cases[] = {
      {"new file", std::nullopt, false, "new\r\n"},
      {"replaced file", old, false, "new\r\n"},
      {"new file, failed write", std::nullopt, true, std::nullopt},
      {"replaced file, failed write", old, true, old},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Harness> harness = GetParam().make();  // a failed write lasts its harness
    if (c.writes_fail && !harness->CanFailWrites()) continue;
    const std::string path = harness->Root() + "\\d\\f.txt";
    ASSERT_TRUE(harness->service().CreateFolder(harness->Root() + "\\d").ok());
    if (c.old) harness->Put("d/f.txt", *c.old);
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(harness->service().CreateTextFile(path, &stream).ok());
    if (c.writes_fail) harness->FailWrites("d/f.txt");
    Status written = stream->WriteLine("new");
    EXPECT_EQ(harness->Get("d/f.txt"), c.old);
    Status closed = stream->Close();
    EXPECT_EQ(written.ok() && closed.ok(), !c.writes_fail);
    EXPECT_EQ(harness->Get("d/f.txt"), c.after);
    EXPECT_EQ(harness->Names("d"), c.after ? Lines{"f.txt"} : Lines{});
  }
}

TEST_P(FileServiceContractTest, FileExistsOnlyForOrdinaryFiles) {
  harness_->Put("Sub/page.asp", "x");
  EXPECT_TRUE(service().FileExists(At("Sub\\page.asp")));
  EXPECT_FALSE(service().FileExists(At("Sub")));
  EXPECT_FALSE(service().FileExists(At("Sub\\missing.asp")));
  EXPECT_FALSE(service().FileExists(At("Missing\\page.asp")));
}

TEST_P(FileServiceContractTest, CreateFolderNeedsParentAndNoSuchFolder) {
  EXPECT_TRUE(service().CreateFolder(At("made")).ok());
  EXPECT_TRUE(harness_->IsFolder("made"));
  EXPECT_TRUE(service().CreateFolder(At("made\\inner\\")).ok());
  EXPECT_TRUE(harness_->IsFolder("made/inner"));
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().CreateTextFile(At("made/inner/f.txt"), &stream).ok());
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(harness_->Get("made/inner/f.txt"), "");
}

struct FailureCase {
  const char* name;
  // Does the failing call on the service under test and returns its status.
  std::function<Status()> call;
  const char* path;  // relative to the test's folder, as given to the failing call
  const char* reason;
};

class FileServiceFailureTest : public FileServiceContractTest {
 protected:
  std::unique_ptr<TextStream> ClosedStream(bool writing) {
    std::unique_ptr<TextStream> stream;
    harness_->Put("closed.txt", "line\r\n");
    Status status = writing ? service().CreateTextFile(At("closed.txt"), &stream)
                            : service().OpenTextFile(At("closed.txt"), &stream);
    EXPECT_TRUE(status.ok()) << status.ToString();
    EXPECT_TRUE(stream->Close().ok());
    EXPECT_TRUE(stream->AtEndOfStream());
    return stream;
  }
  void PutFolder(const std::string& relative) { harness_->Put(relative + "/f.txt", ""); }
};

TEST_P(FileServiceFailureTest, FailuresNameThePathAndTheReason) {
  std::unique_ptr<TextStream> unused;
  std::string line;
  const FailureCase cases[] = {
      {"open missing file", [&]() { return service().OpenTextFile(At("missing.asp"), &unused); },
       "missing.asp", "No such file or directory"},
      {"open in missing folder",
       [&]() { return service().OpenTextFile(At("nowhere\\page.asp"), &unused); },
       "nowhere\\page.asp", "No such file or directory"},
      {"open a folder",
       [&]() {
         PutFolder("afolder");
         return service().OpenTextFile(At("afolder"), &unused);
       },
       "afolder", "Is a directory"},
      {"create in missing folder",
       [&]() { return service().CreateTextFile(At("nowhere\\out.cls"), &unused); },
       "nowhere\\out.cls", "No such file or directory"},
      {"create over a folder",
       [&]() {
         PutFolder("busy");
         return service().CreateTextFile(At("busy"), &unused);
       },
       "busy", "Is a directory"},
      {"create folder that exists",
       [&]() {
         PutFolder("there");
         return service().CreateFolder(At("there"));
       },
       "there", "File exists"},
      {"create folder over a file",
       [&]() {
         PutFolder("holder");
         return service().CreateFolder(At("holder\\f.txt"));
       },
       "holder\\f.txt", "File exists"},
      {"create folder with missing parent",
       [&]() { return service().CreateFolder(At("no\\parent")); }, "no\\parent",
       "No such file or directory"},
      {"read after close", [&]() { return ClosedStream(false)->ReadLine(&line); }, "closed.txt",
       "Bad file descriptor"},
      {"write after close", [&]() { return ClosedStream(true)->WriteLine("late"); }, "closed.txt",
       "Bad file descriptor"},
      {"close twice", [&]() { return ClosedStream(true)->Close(); }, "closed.txt",
       "Bad file descriptor"},
      {"read a writing stream",
       [&]() {
         std::unique_ptr<TextStream> stream;
         EXPECT_TRUE(service().CreateTextFile(At("w.txt"), &stream).ok());
         return stream->ReadLine(&line);
       },
       "w.txt", "Bad file descriptor"},
      {"write a reading stream",
       [&]() {
         std::unique_ptr<TextStream> stream;
         PutFolder("r");
         EXPECT_TRUE(service().OpenTextFile(At("r\\f.txt"), &stream).ok());
         return stream->WriteLine("no");
       },
       "r\\f.txt", "Bad file descriptor"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    Status status = c.call();
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.path(), At(c.path));
    EXPECT_EQ(status.reason(), c.reason);
  }
  EXPECT_EQ(unused, nullptr);
}

TEST_P(FileServiceContractTest, NamesIgnoreLetterCaseAsOnWindows) {
  harness_->Put("Default.ASP", "default page\r\n");
  harness_->Put("Inc/Header.INC", "header\r\n");
  EXPECT_EQ(ReadAll(At("default.asp")), Lines{"default page"});
  EXPECT_EQ(ReadAll(At("DEFAULT.asp")), Lines{"default page"});
  EXPECT_EQ(ReadAll(At("inc\\header.inc")), Lines{"header"});
  EXPECT_EQ(ReadAll(At("INC/hEADER.iNC")), Lines{"header"});
  EXPECT_TRUE(service().FileExists(At("inc\\HEADER.INC")));
  EXPECT_TRUE(service().FileExists(At("default.asp")));
  EXPECT_FALSE(service().FileExists(At("default.aspx")));
}

TEST_P(FileServiceContractTest, CreateTextFileKeepsTheExistingSpelling) {
  harness_->Put("Site/Page.asp", "old\r\n");
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().CreateTextFile(At("site\\page.asp"), &stream).ok());
  ASSERT_TRUE(stream->WriteLine("new").ok());
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(harness_->Names("Site"), Lines{"Page.asp"});
  EXPECT_EQ(harness_->Get("Site/Page.asp"), "new\r\n");

  ASSERT_TRUE(service().CreateTextFile(At("SITE\\Fresh.CLS"), &stream).ok());
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(harness_->Names("Site"), (Lines{"Fresh.CLS", "Page.asp"}));
}

TEST_P(FileServiceContractTest, CreateFolderSeesAFolderInAnotherCase) {
  harness_->Put("Out/f.txt", "");
  Status status = service().CreateFolder(At("out"));
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.reason(), "File exists");
  EXPECT_TRUE(service().CreateFolder(At("OUT\\Inner")).ok());
  EXPECT_TRUE(harness_->IsFolder("Out/Inner"));
}

TEST_P(FileServiceContractTest, BothSeparatorsAndEmptyPartsAreAccepted) {
  harness_->Put("a/b/c.txt", "c\r\n");
  for (const char* relative :
       {"a\\b\\c.txt", "a/b/c.txt", "a\\b/c.txt", "a\\\\b//c.txt", "a/\\b\\/c.txt"}) {
    SCOPED_TRACE(relative);
    EXPECT_TRUE(service().FileExists(At(relative)));
    EXPECT_EQ(ReadAll(At(relative)), Lines{"c"});
  }
}

TEST_P(FileServiceContractTest, ServiceObjectsShareTheFiles) {
  std::unique_ptr<TextFileService> second = harness_->NewService();
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(second->CreateTextFile(At("shared.txt"), &stream).ok());
  ASSERT_TRUE(stream->WriteLine("from the second").ok());
  second.reset();  // the stream outlives its service object
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(ReadAll(At("shared.txt")), Lines{"from the second"});
}

INSTANTIATE_TEST_SUITE_P(Services, FileServiceContractTest, ::testing::ValuesIn(AllHarnesses()),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Services, FileServiceFailureTest, ::testing::ValuesIn(AllHarnesses()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlintex::fs
