// The behaviour every platform shares, checked against each: the in-memory one and the real
// one over a fresh temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
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
  void Write(const std::string& path, const Lines& lines) {
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(service().CreateTextFile(path, &stream).ok()) << path;
    for (const std::string& line : lines) ASSERT_TRUE(stream->WriteLine(line).ok());
    ASSERT_TRUE(stream->Close().ok());
  }

  std::unique_ptr<Harness> harness_ = GetParam().make();
};

TEST_P(FileServiceContractTest, ReadsLinesAsWritten) {
  const std::string long_run(70000, 'x');
  const std::string before_block_end(65535, 'a');  // its CR LF straddles a 64 KiB block
  std::vector<std::pair<std::string, Lines>> cases = {
      {"one\r\ntwo\nthree", {"one", "two", "three"}},
      {"a\rb\r\nx\r\r\n\n\r", {"a\rb", "x\r", "", "\r"}},
      {"", {}},
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
  for (int i = 0; i < 30000; ++i) lines.push_back(std::to_string(i) + std::string(i % 17, '-'));
  lines.push_back(std::string(200000, 'h'));
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service().CreateTextFile(At("out.txt"), &stream).ok());
  std::string expected;
  for (const std::string& line : lines) {
    ASSERT_TRUE(stream->WriteLine(line).ok());
    expected += line + "\r\n";
  }
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(expected.substr(0, 30), std::string("first\r\n\r\nnul\0here\r\nlf\ninside\r\n", 30));
  EXPECT_EQ(harness_->Get("out.txt"), expected);

  // Line sizes at the edges of a buffer that grows from 4 KiB to 64 KiB: a line that just fills
  // it, one just past it, one that needs several doublings at once, one of a whole block.
  const std::vector<std::vector<size_t>> sizes = {
      {4094, 0, 1}, {4095}, {1, 40000, 30000}, {65534, 65534}, {65535, 3, 65533}, {100000, 5}};
  for (size_t i = 0; i < sizes.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string name = "sizes" + std::to_string(i) + ".txt";
    ASSERT_TRUE(service().CreateTextFile(At(name), &stream).ok());
    expected.clear();
    for (size_t size : sizes[i]) {
      const std::string line(size, static_cast<char>('a' + expected.size() % 26));
      ASSERT_TRUE(stream->WriteLine(line).ok());
      expected += line + "\r\n";
    }
    ASSERT_TRUE(stream->Close().ok());
    EXPECT_EQ(harness_->Get(name), expected);
  }
}

// The name keeps its old file, or none, until the new one is closed whole (or destroyed open);
// a file whose write failed, or that was abandoned, never takes it, and nothing else is left in
// the folder. An abandoned stream is closed.
TEST_P(FileServiceContractTest, AFileTakesItsNameOnlyWhenClosedWhole) {
  const std::string old = "a much longer old text\r\nsecond\r\n";
  enum End { kClose, kDestroyedOpen, kAbandon };
  // What the name holds before, whether writes fail, how the stream ends.
  const std::tuple<std::optional<std::string>, bool, End> cases[] = {
      {std::nullopt, false, kClose},
      {old, false, kDestroyedOpen},
      {old, true, kClose},
      {old, false, kAbandon},
      {std::nullopt, false, kAbandon}};
  for (const auto& [before, writes_fail, end] : cases) {
    SCOPED_TRACE(before.value_or("none") + (writes_fail ? " failing " : " ") + std::to_string(end));
    std::unique_ptr<Harness> harness = GetParam().make();  // a failed write lasts its harness
    ASSERT_TRUE(harness->service().CreateFolder(harness->Root() + "\\d").ok());
    if (before) harness->Put("d/f.txt", *before);
    std::unique_ptr<TextStream> stream;
    ASSERT_TRUE(harness->service().CreateTextFile(harness->Root() + "\\d\\f.txt", &stream).ok());
    if (writes_fail && !harness->FailWrites("d/f.txt")) continue;
    Status written = stream->WriteLine("new");
    EXPECT_EQ(harness->Get("d/f.txt"), before);
    Status closed = end == kClose     ? stream->Close()
                    : end == kAbandon ? stream->Abandon()
                                      : Status();
    if (end == kAbandon) {
      EXPECT_FALSE(stream->Close().ok());
      EXPECT_FALSE(stream->Abandon().ok());
    }
    stream.reset();
    EXPECT_EQ(written.ok() && closed.ok(), !writes_fail);
    const bool takes_name = !writes_fail && end != kAbandon;
    EXPECT_EQ(harness->Get("d/f.txt"), takes_name ? "new\r\n" : before);
    EXPECT_EQ(harness->Names("d"), takes_name || before ? Lines{"f.txt"} : Lines{});
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
  Write(At("inc\\header.inc"), {"new"});
  Write(At("INC\\Fresh.CLS"), {});
  EXPECT_EQ(harness_->Names("Inc"), (Lines{"Fresh.CLS", "Header.INC"}));
  EXPECT_EQ(harness_->Get("Inc/Header.INC"), "new\r\n");
  EXPECT_TRUE(service().CreateFolder(At("made")).ok());
  EXPECT_TRUE(service().CreateFolder(At("MADE\\Inner\\")).ok());
  Write(At("made/inner/f.txt"), {});
  EXPECT_EQ(harness_->Names("made/Inner"), Lines{"f.txt"});
}

// A failure has the code the contract names, the path as given and the reason as the system
// words it.
TEST_P(FileServiceContractTest, FailuresNameTheCodeThePathAndTheReason) {
  harness_->Put("Folder/f.txt", "only\r\n");
  harness_->Put("Kept.cls", "kept\r\n");
  harness_->SetReadOnly("Kept.cls", true);
  using Code = Status::Code;
  const std::string kMissing = "No such file or directory", kThroughFile = "Not a directory";
  const std::string kNul("nul\0.asp", 8);
  enum Call { kOpen, kCreate, kCreateFolder };
  const std::tuple<Call, std::string, Code, std::string> cases[] = {
      {kOpen, "nowhere\\page.asp", Code::kNotFound, kMissing},
      {kOpen, "folder", Code::kIOError, "Is a directory"},
      {kOpen, "folder\\F.TXT\\page.asp", Code::kNotFound, kThroughFile},
      {kOpen, "folder\\f.txt\\inc\\top.inc", Code::kNotFound, kThroughFile},
      {kOpen, kNul, Code::kInvalidArgument, "Invalid argument"},
      {kCreate, "nowhere\\out.cls", Code::kNotFound, kMissing},
      {kCreate, "FOLDER", Code::kIOError, "Is a directory"},
      {kCreate, "folder\\f.txt\\out.cls", Code::kNotFound, kThroughFile},
      {kCreate, kNul, Code::kInvalidArgument, "Invalid argument"},
      {kCreate, "kept.CLS", Code::kReadOnly, "the file is read-only"},
      {kCreateFolder, "Folder\\F.txt", Code::kAlreadyExists, "File exists"},
      {kCreateFolder, "folder", Code::kAlreadyExists, "File exists"},
      {kCreateFolder, "no\\parent", Code::kNotFound, kMissing},
      {kCreateFolder, "Folder\\f.txt\\sub", Code::kNotFound, kThroughFile},
      {kCreateFolder, kNul, Code::kInvalidArgument, "Invalid argument"},
  };
  std::unique_ptr<TextStream> stream;
  for (const auto& [call, path, code, reason] : cases) {
    Status status = call == kOpen     ? service().OpenTextFile(At(path), &stream)
                    : call == kCreate ? service().CreateTextFile(At(path), &stream)
                                      : service().CreateFolder(At(path));
    EXPECT_EQ(status.code(), code) << call << " " << path << ": " << status.ToString();
    EXPECT_EQ(status.path(), At(path));
    EXPECT_EQ(status.reason(), reason) << call << " " << path;
    EXPECT_EQ(stream, nullptr);
  }
  EXPECT_EQ(harness_->Names("Folder"), Lines{"f.txt"});
  EXPECT_EQ(harness_->Get("Kept.cls"), "kept\r\n");
  harness_->SetReadOnly("Kept.cls", false);  // so that the folder can go
  // A read past the end fails and stays at the end.
  std::unique_ptr<TextStream> reading;
  ASSERT_TRUE(service().OpenTextFile(At("folder\\f.txt"), &reading).ok());
  std::string line;
  EXPECT_TRUE(reading->ReadLine(&line).ok() && line == "only" && reading->AtEndOfStream());
  Status past = reading->ReadLine(&line);
  EXPECT_EQ(past.ToString(), "IO error: " + At("folder\\f.txt") + ": Input past end of file");
  EXPECT_TRUE(reading->AtEndOfStream());
}

// The listing gives the ordinary visible files that match, in Windows listing order, whose
// upper-cased names put "_" after the letters.
TEST_P(FileServiceContractTest, ListsFilesAndKnowsFolders) {
  for (const char* name : {"Default.asp", "menu.ASP", "notes.txt", ".hidden.asp", "page.aspx",
                           "_first.asp", "Sub.asp/inner.asp", "Pages/Inner/a.asp"}) {
    harness_->Put(name, "");
  }
  const Lines asp = {"Default.asp", "menu.ASP", "_first.asp"};
  const std::pair<const char*, std::optional<Lines>> cases[] = {
      {"*.ASP", asp},
      {"\\*.asp", asp},  // a folder ending in a separator
      {"*", Lines{"Default.asp", "menu.ASP", "notes.txt", "page.aspx", "_first.asp"}},
      {"", Lines{}},
      {"PAGES/inner\\*", Lines{"a.asp"}},
      {"missing\\*.asp", std::nullopt},
      {"notes.txt\\*", std::nullopt},
  };
  Lines names = {"left over"};
  for (const auto& [pattern, expected] : cases) {
    Status status = harness_->env().ListFiles(At(pattern), &names);
    EXPECT_EQ(names, expected.value_or(Lines{})) << pattern;
    EXPECT_EQ(status.code(), expected ? Status::Code::kOk : Status::Code::kNotFound)
        << pattern << ": " << status.ToString();
  }
  // The folder listing: visible folders only, in the same order, each level on its own.
  harness_->Put("Pages/_Low/x.asp", "");
  harness_->Put(".git/config", "");
  const std::pair<const char*, std::optional<Lines>> folder_cases[] = {
      {"", Lines{"Pages", "Sub.asp"}}, {"pages", Lines{"Inner", "_Low"}}, {"PAGES\\inner", Lines{}},
      {"missing", std::nullopt},       {"notes.txt", std::nullopt},
  };
  for (const auto& [folder, expected] : folder_cases) {
    Status status = harness_->env().ListFolders(At(folder), &names);
    EXPECT_EQ(names, expected.value_or(Lines{})) << folder;
    EXPECT_EQ(status.code(), expected ? Status::Code::kOk : Status::Code::kNotFound)
        << folder << ": " << status.ToString();
  }
  // A folder's identity is the same for any spelling of it, and only for it.
  const std::optional<std::string> pages = harness_->env().FolderIdentity(At("Pages"));
  ASSERT_TRUE(pages.has_value());
  EXPECT_EQ(harness_->env().FolderIdentity(At("\\\\PAGES//")), pages);
  EXPECT_NE(harness_->env().FolderIdentity(At("Pages\\Inner")), pages);
  EXPECT_TRUE(harness_->env().FolderIdentity(At("pages\\inner")).has_value());
  for (const char* none : {"notes.txt", "Missing"}) {
    EXPECT_EQ(harness_->env().FolderIdentity(At(none)), std::nullopt) << none;
  }
}

// A folder's turn is one holder's at a time among Envs, as among processes; a missing folder
// has none. Its holder removes the files in the making that killed runs left, and only those:
// one still being written stays, and takes its name when closed.
TEST_P(FileServiceContractTest, FolderTurnsAndFilesLeftInTheMaking) {
  ASSERT_TRUE(service().CreateFolder(At("out")).ok());
  ASSERT_TRUE(service().CreateFolder(At("other")).ok());
  std::unique_ptr<Env> second = harness_->NewEnv();
  // On a thread of its own: on Windows a turn is its thread's, as another process's would be.
  auto take_elsewhere = [&](const std::string& path) {
    Status status;
    std::thread([&] {
      std::unique_ptr<FolderTurn> turn;
      status = second->TakeFolderTurn(path, false, &turn);
      EXPECT_EQ(turn != nullptr, status.ok());
    }).join();
    return status;
  };
  std::unique_ptr<FolderTurn> held;
  ASSERT_TRUE(harness_->env().TakeFolderTurn(At("out"), true, &held).ok());
  EXPECT_EQ(take_elsewhere(At("OUT")).ToString(),
            "Busy: " + At("OUT") + ": another run is writing into this folder");
  EXPECT_TRUE(take_elsewhere(At("other")).ok());
  EXPECT_EQ(take_elsewhere(At("missing")).code(), Status::Code::kNotFound);

  const Lines left = {".vorlintex-0123456789abcdef.tmp", ".VORLINTEX-FEDCBA9876543210.TMP"};
  const Lines kept = {".vorlintex-0123456789abcdeg.tmp", ".vorlintex-0123456789abcde.tmp",
                      "notes.tmp", "inner/.vorlintex-0123456789abcdef.tmp"};
  harness_->Put("out/Keep.CLS", "old");
  for (const std::string& name : left) harness_->Put("out/" + name, "half");
  for (const std::string& name : kept) harness_->Put("out/" + name, "mine");
  std::unique_ptr<TextStream> writing;
  ASSERT_TRUE(service().CreateTextFile(At("out\\new.cls"), &writing).ok());
  ASSERT_TRUE(writing->WriteLine("new").ok());
  size_t removed = 99;
  EXPECT_TRUE(harness_->env().RemoveFilesInTheMaking(At("OUT"), &removed).ok());
  EXPECT_EQ(removed, left.size());
  for (const std::string& name : left) EXPECT_EQ(harness_->Get("out/" + name), std::nullopt);
  for (const std::string& name : kept) EXPECT_EQ(harness_->Get("out/" + name), "mine") << name;
  EXPECT_TRUE(writing->Close().ok());
  EXPECT_EQ(harness_->Get("out/new.cls"), "new\r\n");
  EXPECT_EQ(harness_->env().RemoveFilesInTheMaking(At("missing"), &removed).code(),
            Status::Code::kNotFound);
  EXPECT_EQ(removed, 0u);

  // The holder owns the folder, and the name rules hold as without a turn: a file there in
  // another letter case, or one made under the turn, is replaced under its own spelling. Once
  // the turn is let go, what others made there meanwhile counts again.
  auto write = [&](const std::string& path) {
    std::unique_ptr<TextStream> stream;
    return service().CreateTextFile(At(path), &stream).ok() && stream->WriteLine(path).ok() &&
           stream->Close().ok();
  };
  EXPECT_TRUE(write("out\\keep.cls") && write("out\\NEW.CLS"));
  held.reset();
  harness_->Put("out/Late.cls", "theirs");
  EXPECT_TRUE(write("out\\LATE.CLS"));
  EXPECT_EQ(harness_->Get("out/Keep.CLS"), "out\\keep.cls\r\n");
  EXPECT_EQ(harness_->Get("out/new.cls"), "out\\NEW.CLS\r\n");
  EXPECT_EQ(harness_->Get("out/Late.cls"), "out\\LATE.CLS\r\n");
  Lines names = harness_->Names("out");
  std::erase_if(names, [](const std::string& name) { return name.front() == '.'; });
  EXPECT_EQ(names, (Lines{"Keep.CLS", "Late.cls", "new.cls", "notes.tmp"}));
  EXPECT_TRUE(take_elsewhere(At("out")).ok());
}

INSTANTIATE_TEST_SUITE_P(Services, FileServiceContractTest, ::testing::ValuesIn(kHarnesses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlintex::fs
