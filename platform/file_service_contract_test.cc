// The behaviour every platform shares, checked against each: the in-memory one and the real
// one over a fresh temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_service_test_harness.h"

namespace vorlintex::fs {
namespace {

class FileServiceContractTest : public ::testing::TestWithParam<HarnessFactory> {
 protected:
  TextFileService& service() { return harness_->service(); }
  // A path under the test's folder, joined with "\" as a page path is.
  std::string At(const std::string& relative) { return harness_->Root() + "\\" + relative; }

  // Every line of the file, read the way the run reads: while not at end, read a line.
  Lines ReadAll(const std::string& path) {
    std::unique_ptr<TextStream> stream;
    Status status = service().OpenTextFile(path, &stream);
    EXPECT_TRUE(status.ok()) << status.ToString();
    Lines lines;
    std::string line;
    while (status.ok() && !stream->AtEndOfStream()) {
      EXPECT_TRUE(stream->ReadLine(&line).ok());
      lines.push_back(line);
    }
    return lines;
  }
  void Write(TextFileService& service, const std::string& path, const Lines& lines) {
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(service.CreateTextFile(path, &stream).ok()) << path;
    for (const std::string& line : lines) ASSERT_TRUE(stream->WriteLine(line).ok());
    ASSERT_TRUE(stream->Close().ok());
  }

  std::unique_ptr<Harness> harness_ = GetParam().make();
};

TEST_P(FileServiceContractTest, ReadsLinesAsWritten) {
  const std::string long_run(70000, 'x');
  const std::string before_block_end(65535, 'a');  // its CR LF straddles a 64 KiB block
  std::vector<std::pair<std::string, Lines>> cases = {
      {"one\r\ntwo\nthree\r\n", {"one", "two", "three"}},
      {"a\rb\r\nx\r\r\ny\n", {"a\rb", "x\r", "y"}},
      {"one\r\ntwo", {"one", "two"}},
      {"one\r", {"one\r"}},
      {"", {}},
      {"\n\r\n\n", {"", "", ""}},
      {std::string("a\0b\r\n\0\n", 7), {std::string("a\0b", 3), std::string(1, '\0')}},
      {"caf\xE9\r\n\xC3\xA9t\xC3\xA9\r\n", {"caf\xE9", "\xC3\xA9t\xC3\xA9"}},
      {long_run + "\r\nend", {long_run, "end"}},
      {before_block_end + "\r\nb\r\n", {before_block_end, "b"}},
  };
  // Files of sizes about a read block, without a line end: none is cut short.
  for (size_t size : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{196615}}) {
    cases.push_back({std::string(size - 1, 'x') + "y", {std::string(size - 1, 'x') + "y"}});
  }
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    harness_->Put("case" + std::to_string(i), cases[i].first);
    EXPECT_EQ(ReadAll(At("case" + std::to_string(i))), cases[i].second);
  }
}

// Every line ends in CR LF whatever it holds, through any amount of buffering.
TEST_P(FileServiceContractTest, WrittenLinesEndInCrLf) {
  Lines lines = {"first", "", std::string("nul\0here", 8), "lf\ninside"};
  std::string expected = std::string("first\r\n\r\nnul\0here\r\nlf\ninside\r\n", 30);
  Write(service(), At("out.txt"), lines);
  EXPECT_EQ(harness_->Get("out.txt"), expected);
  lines.pop_back();
  for (int i = 0; i < 30000; ++i) lines.push_back(std::to_string(i) + std::string(i % 17, '-'));
  lines.push_back(std::string(200000, 'h'));
  Write(service(), At("many.txt"), lines);
  expected.clear();
  for (const std::string& line : lines) expected += line + "\r\n";
  EXPECT_EQ(harness_->Get("many.txt"), expected);
  EXPECT_EQ(ReadAll(At("many.txt")), lines);
}

// The name keeps its old file, or none, until the new one is closed whole (or destroyed open);
// a file whose write failed never takes it, and nothing else is left in the folder.
TEST_P(FileServiceContractTest, AFileTakesItsNameOnlyWhenClosedWhole) {
  const std::string old = "a much longer old text\r\nsecond\r\n";
  const struct {
    std::optional<std::string> old;
    bool writes_fail;
    bool destroyed_open;
    std::optional<std::string> after;
  } cases[] = {
      {std::nullopt, false, false, "new\r\n"},
      {old, false, false, "new\r\n"},
      {old, false, true, "new\r\n"},
      {std::nullopt, true, false, std::nullopt},
      {old, true, false, old},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.old.value_or("none") + (c.writes_fail ? " failing" : ""));
    std::unique_ptr<Harness> harness = GetParam().make();  // a failed write lasts its harness
    if (c.writes_fail && !harness->CanFailWrites()) continue;
    ASSERT_TRUE(harness->service().CreateFolder(harness->Root() + "\\d").ok());
    if (c.old) harness->Put("d/f.txt", *c.old);
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(harness->service().CreateTextFile(harness->Root() + "\\d\\f.txt", &stream).ok());
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
// ordinary files exist as files. A created file keeps the spelling of the one it replaces.
TEST_P(FileServiceContractTest, NamesAreFoundAsOnWindows) {
  harness_->Put("Default.ASP", "default page\r\n");
  harness_->Put("Inc/Header.INC", "header\r\n");
  const std::pair<const char*, const char*> found[] = {
      {"default.asp", "default page"}, {"DEFAULT.asp", "default page"},
      {"inc\\header.inc", "header"},   {"INC/hEADER.iNC", "header"},
      {"Inc\\\\Header.INC", "header"}, {"inc/\\HEADER.inc", "header"}};
  for (const auto& [path, line] : found) {
    EXPECT_TRUE(service().FileExists(At(path))) << path;
    EXPECT_EQ(ReadAll(At(path)), Lines{line}) << path;
  }
  for (const char* path : {"default.aspx", "Inc", "Inc\\missing.inc", "Missing\\Header.INC"}) {
    EXPECT_FALSE(service().FileExists(At(path))) << path;
  }
  Write(service(), At("inc\\header.inc"), {"new"});
  Write(service(), At("INC\\Fresh.CLS"), {});
  EXPECT_EQ(harness_->Names("Inc"), (Lines{"Fresh.CLS", "Header.INC"}));
  EXPECT_EQ(harness_->Get("Inc/Header.INC"), "new\r\n");
  EXPECT_TRUE(service().CreateFolder(At("made")).ok());
  EXPECT_TRUE(service().CreateFolder(At("MADE\\Inner\\")).ok());
  Write(service(), At("made/inner/f.txt"), {});
  EXPECT_EQ(harness_->Names("made/Inner"), Lines{"f.txt"});
}

TEST_P(FileServiceContractTest, FailuresNameThePathAndTheReason) {
  harness_->Put("Folder/f.txt", "only\r\n");
  const std::string kMissing = "No such file or directory";
  enum Call { kOpen, kCreate, kCreateFolder };
  const struct {
    Call call;
    const char* path;
    std::string reason;
  } cases[] = {
      {kOpen, "missing.asp", kMissing},
      {kOpen, "nowhere\\page.asp", kMissing},
      {kOpen, "folder", "Is a directory"},
      {kCreate, "nowhere\\out.cls", kMissing},
      {kCreate, "FOLDER", "Is a directory"},
      {kCreateFolder, "folder", "File exists"},
      {kCreateFolder, "Folder\\F.txt", "File exists"},
      {kCreateFolder, "no\\parent", kMissing},
  };
  std::unique_ptr<TextStream> stream;
  for (const auto& c : cases) {
    Status status = c.call == kOpen     ? service().OpenTextFile(At(c.path), &stream)
                    : c.call == kCreate ? service().CreateTextFile(At(c.path), &stream)
                                        : service().CreateFolder(At(c.path));
    EXPECT_EQ(status.path(), At(c.path));
    EXPECT_EQ(status.reason(), c.reason) << c.path;
    EXPECT_EQ(stream, nullptr);
  }
  // A stream fails what it is not open for, and everything once closed; a read past the end
  // fails and stays at the end.
  std::unique_ptr<TextStream> reading, writing;
  ASSERT_TRUE(service().OpenTextFile(At("folder\\f.txt"), &reading).ok());
  ASSERT_TRUE(service().CreateTextFile(At("w.txt"), &writing).ok());
  std::string line;
  EXPECT_TRUE(reading->ReadLine(&line).ok());
  EXPECT_EQ(line, "only");
  EXPECT_TRUE(reading->AtEndOfStream());
  const char* kBad = "Bad file descriptor";
  std::vector<std::pair<Status, const char*>> failures;
  failures.push_back({reading->ReadLine(&line), "Input past end of file"});
  failures.push_back({reading->WriteLine("no"), kBad});
  failures.push_back({writing->ReadLine(&line), kBad});
  EXPECT_TRUE(reading->Close().ok() && writing->Close().ok());
  failures.push_back({reading->ReadLine(&line), kBad});
  failures.push_back({writing->WriteLine("late"), kBad});
  failures.push_back({writing->Close(), kBad});
  for (const auto& [status, reason] : failures) EXPECT_EQ(status.reason(), reason);
  EXPECT_EQ(failures[0].first.path(), At("folder\\f.txt"));
  EXPECT_EQ(failures[5].first.path(), At("w.txt"));
  EXPECT_TRUE(reading->AtEndOfStream() && writing->AtEndOfStream());
}

TEST_P(FileServiceContractTest, AStreamOutlivesItsServiceObject) {
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
      {"*.ASP", asp, true},
      {"\\*.asp", asp, true},  // a folder ending in a separator
      {"*", {"Default.asp", "menu.ASP", "notes.txt", "page.aspx", "_first.asp"}, true},
      {"m?nu.*", {"menu.ASP"}, true},
      {"", {}, true},
      {"PAGES/inner\\*", {"a.asp"}, true},
      {"missing\\*.asp", {}, false},
      {"notes.txt\\*", {}, false},
  };
  Lines names = {"left over"};
  for (const auto& c : cases) {
    Status status = harness_->env().ListFiles(At(c.pattern), &names);
    EXPECT_EQ(names, c.names) << c.pattern;
    EXPECT_EQ(status.ok(), c.found) << c.pattern;
    EXPECT_EQ(status.IsNotFound(), !c.found) << c.pattern << status.ToString();
  }
}

TEST_P(FileServiceContractTest, FolderIdentityIsEqualExactlyForTheSameFolder) {
  harness_->Put("Src/page.asp", "");
  harness_->Put("Srcx/page.asp", "");
  Env& env = harness_->env();
  const std::optional<std::string> source = env.FolderIdentity(At("Src"));
  ASSERT_TRUE(source.has_value());
  for (const char* same : {"Src\\", "src", "\\\\SRC//"}) {
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
