// What only the real file system on POSIX has: links, pipes, names in several letter cases at
// once, permission bits and other processes.
#include "platform/posix_file_service.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "platform/file_service_test_harness.h"
#include "platform/posix_env.h"
#include "platform/windows_directory.h"

namespace vorlintex {
namespace {

// What stands at a name is replaced by the new file, never written through: a file linked
// elsewhere keeps its bytes. Of several spellings of a name the exact one wins, else the first
// in byte order. Only ordinary files are read: a pipe with no writer, whose open would wait
// for one, is refused at once.
TEST(PosixFileServiceTest, LinksPipesAndSeveralSpellingsOfOneName) {
  fs::DiskHarness harness;
  const std::string root = harness.Root();
  for (const char* name : {"outside.txt", "a.TXT", "A.txt", "site/x.txt", "SITE/x.txt"}) {
    harness.Put(name, std::string(name) + "\r\n");
  }
  std::filesystem::create_hard_link(harness.Native("outside.txt"), harness.Native("site/hard.cls"));
  std::filesystem::create_symlink(harness.Native("outside.txt"), harness.Native("site/Soft.CLS"));
  std::filesystem::create_directory_symlink(harness.Native("SITE"), harness.Native("link"));
  ASSERT_EQ(mkfifo(harness.Native("pipe.asp").c_str(), 0600), 0);
  for (const char* name : {"site\\hard.cls", "site\\soft.cls"}) {
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(harness.service().CreateTextFile(root + "\\" + name, &stream).ok());
    ASSERT_TRUE(stream->WriteLine(name).ok() && stream->Close().ok());
  }
  EXPECT_EQ(harness.Get("outside.txt"), "outside.txt\r\n");
  EXPECT_EQ(harness.Names("site"), (fs::Lines{"Soft.CLS", "hard.cls", "x.txt"}));
  const std::pair<const char*, const char*> cases[] = {
      {"a.txt", "A.txt"},
      {"a.TXT", "a.TXT"},
      {"sItE\\X.txt", "SITE/x.txt"},
      {"LINK\\x.txt", "SITE/x.txt"},
      {"site\\SOFT.cls", "site\\soft.cls"},
      {"PIPE.asp", "not an ordinary file (a pipe, device or socket), so it is not read"}};
  for (const auto& [path, first] : cases) {
    std::unique_ptr<fs::TextStream> stream;
    std::string line;
    Status status = harness.service().OpenTextFile(root + "\\" + path, &stream);
    if (status.ok()) status = stream->ReadLine(&line);
    EXPECT_EQ(status.ok() ? line : status.reason(), first) << path;
  }
  // A folder it makes is as open as the umask allows, as any program's would be.
  ASSERT_TRUE(harness.service().CreateFolder(root + "\\made").ok());
  const mode_t mask = umask(0);
  umask(mask);
  struct stat made {};
  EXPECT_EQ(stat(harness.Native("made").c_str(), &made) == 0 ? made.st_mode & 07777 : 0,
            0777 & ~mask);
  EXPECT_EQ(harness.env().FolderIdentity(root + "\\link"),
            harness.env().FolderIdentity(root + "\\SITE"));
  EXPECT_NE(harness.env().FolderIdentity(root + "\\link"),
            harness.env().FolderIdentity(root + "\\site"));
}

// A replaced file's permission bits stay with its name; a new one's are what the umask allows.
// Read-only is the mode's word even to root, whom no permission check stops.
TEST(PosixFileServiceTest, AReplacedFileKeepsItsModeAndAReadOnlyOneIsKept) {
  fs::DiskHarness harness;
  const mode_t mask = umask(0);
  umask(mask);
  const std::pair<std::optional<mode_t>, std::optional<mode_t>> cases[] = {
      {std::nullopt, 0666 & ~mask},
      {0600, 0600},
      {0640, 0640},
      {0775, 0775},
      {0200, 0200},
      {04755, 0755},  // no set-user-ID on a file it made
      {0444, std::nullopt},
      {0555, std::nullopt},
      {0, std::nullopt}};
  for (const auto& [before, after] : cases) {
    const std::string name = "f" + std::to_string(before.value_or(07777)) + ".cls";
    SCOPED_TRACE(name);
    if (before) {
      harness.Put(name, "old\r\n");
      ASSERT_EQ(chmod(harness.Native(name).c_str(), *before), 0);
    }
    std::unique_ptr<fs::TextStream> stream;
    Status created = harness.service().CreateTextFile(harness.Root() + "\\" + name, &stream);
    EXPECT_EQ(created.code(), after ? Status::Code::kOk : Status::Code::kReadOnly);
    if (stream != nullptr) {
      EXPECT_TRUE(stream->WriteLine("new").ok() && stream->Close().ok());
    }
    struct stat info {};
    ASSERT_EQ(stat(harness.Native(name).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, after.value_or(*before));
    EXPECT_EQ(harness.Get(name), after ? "new\r\n" : "old\r\n");
  }
  EXPECT_EQ(harness.Names("").size(), std::size(cases));  // no file in the making is left
}

// Two processes take turns on a folder: while one holds it the other is refused at once when it
// would not wait, and a waiting take returns only once the holder has let go. The holder says
// it is letting go before it does, so a take that did not wait would find nothing said.
TEST(PosixFolderTurnTest, AnotherProcessWaitsForTheTurn) {
  fs::DiskHarness harness;
  const std::string folder = harness.Root() + "\\Out";
  ASSERT_TRUE(harness.service().CreateFolder(folder).ok());
  int to_parent[2], to_child[2];
  ASSERT_EQ(pipe(to_parent), 0);
  ASSERT_EQ(pipe(to_child), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::unique_ptr<Env> env = NewPosixEnv();
    std::unique_ptr<FolderTurn> turn;
    char said = env->TakeFolderTurn(folder, true, &turn).ok() ? 'h' : 'f';
    if (write(to_parent[1], &said, 1) != 1 || read(to_child[0], &said, 1) != 1) _exit(1);
    said = 'r';
    _exit(write(to_parent[1], &said, 1) == 1 ? 0 : 1);  // the turn goes with the process
  }
  char said = 0;
  ASSERT_EQ(read(to_parent[0], &said, 1), 1);
  ASSERT_EQ(said, 'h');
  std::unique_ptr<FolderTurn> turn;
  EXPECT_EQ(harness.env().TakeFolderTurn(harness.Root() + "\\out", false, &turn).code(),
            Status::Code::kBusy);
  EXPECT_EQ(turn, nullptr);
  ASSERT_EQ(fcntl(to_parent[0], F_SETFL, O_NONBLOCK), 0);
  ASSERT_EQ(write(to_child[1], "g", 1), 1);
  EXPECT_TRUE(harness.env().TakeFolderTurn(folder, true, &turn).ok());
  EXPECT_EQ(read(to_parent[0], &said, 1), 1);
  EXPECT_EQ(said, 'r');
  int exit_status = -1;
  EXPECT_EQ(waitpid(child, &exit_status, 0), child);
  EXPECT_EQ(exit_status, 0);
  for (int fd : {to_parent[0], to_parent[1], to_child[0], to_child[1]}) close(fd);
}

// The Windows folder named in every project file's references: WINDIR without its trailing
// separators, else the usual one.
TEST(PosixEnvTest, WindowsDirectoryFromWindir) {
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {std::nullopt, "C:\\WINDOWS"}, {"D:\\WinNT", "D:\\WinNT"}, {"C:\\W\\/", "C:\\W"}, {"", ""}};
  for (const auto& [windir, expected] : cases) {
    fs::ScopedVariable variable("WINDIR", windir);
    EXPECT_EQ(WindowsDirectory(), expected) << windir.value_or("(unset)");
  }
}

}  // namespace
}  // namespace vorlintex
