// The behaviour every platform shares, checked against each: the in-memory one and the real
// one over a fresh temporary folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "contract/text_file_service.h"
#include "platform/file_service_test_harness.h"

namespace vorlintex::fs {
namespace {

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
  // Creates the file at `path` holding `lines`, through `service`.
  void Write(TextFileService& service, const std::string& path, const Lines& lines) {
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(service.CreateTextFile(path, &stream).ok()) << path;
    for (const std::string& line : lines) ASSERT_TRUE(stream->WriteLine(line).ok());
    ASSERT_TRUE(stream->Close().ok());
  }

  std::unique_ptr<Harness> harness_;
  std::string root_;
};

TEST_P(FileServiceContractTest, ReadsLinesAsWritten) {
  struct LineCase {
    std::string name;
    std::string bytes;
    Lines lines;
  };
  const std::string long_run(70000, 'x');
  const std::string before_block_end(65535, 'a');  // its CR LF straddles a 64 KiB block
  std::vector<LineCase> cases = {
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
  // Files of sizes about a read block, without a line end: none is cut short.
  for (size_t size : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{196615}}) {
    std::string bytes = std::string(size - 1, 'x') + "y";
    cases.push_back({std::to_string(size) + " bytes", bytes, {bytes}});
  }
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

// Every line ends in CR LF whatever it holds, through any amount of buffering.
TEST_P(FileServiceContractTest, WrittenLinesEndInCrLf) {
  Lines lines = {"first", "", std::string("nul\0here", 8), "lf\ninside"};
  std::string expected = std::string("first\r\n\r\nnul\0here\r\nlf\ninside\r\n", 30);
  Write(service(), At("out.txt"), lines);
  EXPECT_EQ(harness_->Get("out.txt"), expected);
  lines.pop_back();
  for (int i = 0; i < 30000; ++i) {
    lines.push_back("line " + std::to_string(i) + std::string(i % 17, '-'));
  }
  lines.push_back(std::string(200000, 'h'));
  Write(service(), At("many.txt"), lines);
  expected.clear();
  for (const std::string& line : lines) expected += line + "\r\n";
  EXPECT_EQ(harness_->Get("many.txt"), expected);
  EXPECT_EQ(ReadAll(At("many.txt")), lines);
}

// The name keeps its old file, or none, until the new one is closed whole; a file whose write
// failed never takes it, and nothing else is left in the folder. A stream destroyed open is
// closed.
TEST_P(FileServiceContractTest, AFileTakesItsNameOnlyWhenClosedWhole) {
  struct Case {
    const char* name;
    std::optional<std::string> old;
    bool writes_fail;
    bool destroyed_open;
    std::optional<std::string> after;
  };
  const std::string old = "a much longer old text\r\nsecond\r\n";
  const Case cases[] = {
      {"new file", std::nullopt, false, false, "new\r\n"},
      {"replaced file", old, false, false, "new\r\n"},
      {"stream destroyed open", old, false, true, "new\r\n"},
      {"new file, failed write", std::nullopt, true, false, std::nullopt},
      {"replaced file, failed write", old, true, false, old},
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
    Status closed = c.destroyed_open ? Status::OK() : stream->Close();
    stream.reset();
    EXPECT_EQ(written.ok() && closed.ok(), !c.writes_fail);
    EXPECT_EQ(harness->Get("d/f.txt"), c.after);
    EXPECT_EQ(harness->Names("d"), c.after ? Lines{"f.txt"} : Lines{});
  }
}

// Names are found in any letter case and with either separator, empty parts skipped; only
// ordinary files exist as files.
TEST_P(FileServiceContractTest, FilesAreFoundAsOnWindows) {
  harness_->Put("Default.ASP", "default page\r\n");
  harness_->Put("Inc/Header.INC", "header\r\n");
  const struct {
    const char* path;
    Lines lines;  // none: no such file
  } cases[] = {
      {"Default.ASP", {"default page"}},
      {"default.asp", {"default page"}},
      {"DEFAULT.asp", {"default page"}},
      {"inc\\header.inc", {"header"}},
      {"INC/hEADER.iNC", {"header"}},
      {"Inc\\\\Header.INC", {"header"}},
      {"inc/\\HEADER.inc", {"header"}},
      {"inc//header.inc", {"header"}},
      {"default.aspx", {}},
      {"Inc", {}},
      {"Inc\\missing.inc", {}},
      {"Missing\\Header.INC", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(service().FileExists(At(c.path)), !c.lines.empty());
    EXPECT_EQ(c.lines.empty() ? Lines{} : ReadAll(At(c.path)), c.lines);
  }
}

TEST_P(FileServiceContractTest, CreateKeepsTheExistingSpelling) {
  harness_->Put("Site/Page.asp", "old\r\n");
  Write(service(), At("site\\page.asp"), {"new"});
  EXPECT_EQ(harness_->Names("Site"), Lines{"Page.asp"});
  EXPECT_EQ(harness_->Get("Site/Page.asp"), "new\r\n");
  Write(service(), At("SITE\\Fresh.CLS"), {});
  EXPECT_EQ(harness_->Names("Site"), (Lines{"Fresh.CLS", "Page.asp"}));
  EXPECT_TRUE(service().CreateFolder(At("made")).ok());
  EXPECT_TRUE(service().CreateFolder(At("MADE\\Inner\\")).ok());
  EXPECT_TRUE(harness_->IsFolder("made/Inner"));
  Write(service(), At("made/inner/f.txt"), {});
  EXPECT_EQ(harness_->Get("made/Inner/f.txt"), "");
}

TEST_P(FileServiceContractTest, FailuresNameThePathAndTheReason) {
  std::unique_ptr<TextStream> unused;
  std::string line;
  const auto closed = [&](bool writing) {
    std::unique_ptr<TextStream> stream;
    harness_->Put("closed.txt", "line\r\n");
    Status status = writing ? service().CreateTextFile(At("closed.txt"), &stream)
                            : service().OpenTextFile(At("closed.txt"), &stream);
    EXPECT_TRUE(status.ok()) << status.ToString();
    EXPECT_TRUE(stream->Close().ok());
    EXPECT_TRUE(stream->AtEndOfStream());
    return stream;
  };
  harness_->Put("Folder/f.txt", "");
  const struct {
    const char* name;
    std::function<Status()> call;  // the failing call on the service under test
    const char* path;              // relative to the test's folder, as given to the call
    const char* reason;
  } cases[] = {
      {"open missing file", [&]() { return service().OpenTextFile(At("missing.asp"), &unused); },
       "missing.asp", "No such file or directory"},
      {"open in missing folder",
       [&]() { return service().OpenTextFile(At("nowhere\\page.asp"), &unused); },
       "nowhere\\page.asp", "No such file or directory"},
      {"open a folder", [&]() { return service().OpenTextFile(At("folder"), &unused); }, "folder",
       "Is a directory"},
      {"create in missing folder",
       [&]() { return service().CreateTextFile(At("nowhere\\out.cls"), &unused); },
       "nowhere\\out.cls", "No such file or directory"},
      {"create over a folder", [&]() { return service().CreateTextFile(At("FOLDER"), &unused); },
       "FOLDER", "Is a directory"},
      {"create folder that exists in another case",
       [&]() { return service().CreateFolder(At("folder")); }, "folder", "File exists"},
      {"create folder over a file", [&]() { return service().CreateFolder(At("Folder\\f.txt")); },
       "Folder\\f.txt", "File exists"},
      {"create folder with missing parent",
       [&]() { return service().CreateFolder(At("no\\parent")); }, "no\\parent",
       "No such file or directory"},
      {"read after close", [&]() { return closed(false)->ReadLine(&line); }, "closed.txt",
       "Bad file descriptor"},
      {"write after close", [&]() { return closed(true)->WriteLine("late"); }, "closed.txt",
       "Bad file descriptor"},
      {"close twice", [&]() { return closed(true)->Close(); }, "closed.txt", "Bad file descriptor"},
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
         EXPECT_TRUE(service().OpenTextFile(At("folder\\f.txt"), &stream).ok());
         return stream->WriteLine("no");
       },
       "folder\\f.txt", "Bad file descriptor"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Status status = c.call();
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.path(), At(c.path));
    EXPECT_EQ(status.reason(), c.reason);
  }
  EXPECT_EQ(unused, nullptr);
}

// Service objects made on several threads share the files, and a stream outlives its object.
TEST_P(FileServiceContractTest, ServiceObjectsShareTheFiles) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      std::unique_ptr<TextFileService> service;
      ASSERT_TRUE(harness_->env().NewFileService(&service).ok());
      const std::string folder = At("T" + std::to_string(t));
      ASSERT_TRUE(service->CreateFolder(folder).ok());
      for (int i = 0; i < 20; ++i) {
        Write(*service, folder + "\\f" + std::to_string(i) + ".txt", {folder});
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(harness_->Names("T" + std::to_string(t)).size(), 20u);
  EXPECT_EQ(ReadAll(At("t3\\F19.TXT")), Lines{At("T3")});

  std::unique_ptr<TextFileService> second;
  ASSERT_TRUE(harness_->env().NewFileService(&second).ok());
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(second->CreateTextFile(At("shared.txt"), &stream).ok());
  ASSERT_TRUE(stream->WriteLine("from the second").ok());
  second.reset();
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(ReadAll(At("shared.txt")), Lines{"from the second"});
}

// The listing gives the ordinary visible files that match, in Windows listing order, whose
// upper-cased names put "_" after the letters.
TEST_P(FileServiceContractTest, ListsOrdinaryVisibleFilesInListingOrder) {
  for (const char* name : {"Default.asp", "menu.ASP", "notes.txt", ".hidden.asp", "page.aspx",
                           "_first.asp", "Sub.asp/inner.asp", "Pages/Inner/a.asp"}) {
    harness_->Put(name, "");
  }
  const Lines asp = {"Default.asp", "menu.ASP", "_first.asp"};
  const struct {
    const char* pattern;
    Lines names;
    bool found;
  } cases[] = {
      {"*.asp", asp, true},
      {"*.ASP", asp, true},
      {"\\*.asp", asp, true},  // a folder ending in a separator
      {"*", {"Default.asp", "menu.ASP", "notes.txt", "page.aspx", "_first.asp"}, true},
      {"m?nu.*", {"menu.ASP"}, true},
      {"NOTES.txt", {"notes.txt"}, true},
      {"*.inc", {}, true},
      {"", {}, true},
      {"pages\\INNER\\*.asp", {"a.asp"}, true},
      {"PAGES/inner/*", {"a.asp"}, true},
      {"missing\\*.asp", {}, false},
      {"missing\\deeper\\*.asp", {}, false},
      {"notes.txt\\*", {}, false},
  };
  Lines names = {"left over"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    Status status = harness_->env().ListFiles(At(c.pattern), &names);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(status.ok(), c.found) << status.ToString();
    EXPECT_EQ(status.IsNotFound(), !c.found) << status.ToString();
  }
}

TEST_P(FileServiceContractTest, FolderIdentityIsEqualExactlyForTheSameFolder) {
  harness_->Put("Src/page.asp", "");
  harness_->Put("Srcx/page.asp", "");
  Env& env = harness_->env();
  const std::optional<std::string> source = env.FolderIdentity(At("Src"));
  ASSERT_TRUE(source.has_value());
  for (const char* same : {"Src\\", "src", "SRC/", "\\\\Src//"}) {
    EXPECT_EQ(env.FolderIdentity(At(same)), source) << same;
  }
  ASSERT_TRUE(env.FolderIdentity(At("srcx")).has_value());
  EXPECT_NE(env.FolderIdentity(At("srcx")), source);
  EXPECT_EQ(env.FolderIdentity(At("Src\\page.asp")), std::nullopt);
  EXPECT_EQ(env.FolderIdentity(At("Missing")), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Services, FileServiceContractTest, ::testing::ValuesIn(AllHarnesses()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlintex::fs
