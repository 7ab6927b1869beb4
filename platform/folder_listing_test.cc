#include "platform/folder_listing.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace vorlintex {
namespace {

using Names = std::vector<std::string>;

class FolderListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ =
        (std::filesystem::path(::testing::TempDir()) / "folder_listing_XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = std::filesystem::canonical(templ).string();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  void AddFile(const std::string& relative) {
    std::ofstream(root_ + "/" + relative) << "<% x %>\r\n";
  }
  void AddFolder(const std::string& relative) {
    ASSERT_EQ(mkdir((root_ + "/" + relative).c_str(), 0755), 0) << relative;
  }
  void AddLink(const std::string& target, const std::string& relative) {
    ASSERT_EQ(symlink(target.c_str(), (root_ + "/" + relative).c_str()), 0) << relative;
  }

  std::string root_;
};

TEST_F(FolderListingTest, ListsOrdinaryMatchingFilesInListingOrder) {
  AddFile("Default.asp");
  AddFile("menu.ASP");
  AddFile("notes.txt");
  AddFile(".hidden.asp");
  AddFile("page.aspx");
  AddFile("_first.asp");
  AddFolder("sub.asp");
  AddLink("notes.txt", "link.asp");
  AddLink("sub.asp", "folderlink.asp");
  AddLink("missing.txt", "dangling.asp");

  EXPECT_EQ(ListFolder(root_ + "\\*.asp"),
            (Names{"Default.asp", "link.asp", "menu.ASP", "_first.asp"}));
  EXPECT_EQ(ListFolder(root_ + "/*.ASP"),
            (Names{"Default.asp", "link.asp", "menu.ASP", "_first.asp"}));
  // A folder ending in a separator gives two separators in a row.
  EXPECT_EQ(ListFolder(root_ + "\\\\*.asp"),
            (Names{"Default.asp", "link.asp", "menu.ASP", "_first.asp"}));
  EXPECT_EQ(ListFolder(root_ + "\\*"),
            (Names{"Default.asp", "link.asp", "menu.ASP", "notes.txt", "page.aspx", "_first.asp"}));
  EXPECT_EQ(ListFolder(root_ + "\\????.asp"), (Names{"link.asp", "menu.ASP"}));
  EXPECT_EQ(ListFolder(root_ + "\\notes.TXT"), (Names{"notes.txt"}));
  EXPECT_EQ(ListFolder(root_ + "\\*.inc"), Names{});
  EXPECT_EQ(ListFolder(root_ + "\\"), Names{});
}

TEST_F(FolderListingTest, FolderPartIsMatchedWithoutRegardToCase) {
  AddFolder("Pages");
  AddFolder("Pages/Inner");
  AddFile("Pages/Inner/a.asp");
  AddFile("Pages/top.asp");

  EXPECT_EQ(ListFolder(root_ + "\\pages\\INNER\\*.asp"), (Names{"a.asp"}));
  EXPECT_EQ(ListFolder(root_ + "/PAGES/inner/*.asp"), (Names{"a.asp"}));
  EXPECT_EQ(ListFolder(root_ + "\\pAgEs\\*.asp"), (Names{"top.asp"}));
}

TEST_F(FolderListingTest, ExactSpellingWinsThenFirstInListingOrder) {
  AddFolder("site");
  AddFolder("SITE");
  AddFolder("Site");
  AddFile("site/lower.asp");
  AddFile("SITE/upper.asp");
  AddFile("Site/mixed.asp");

  EXPECT_EQ(ListFolder(root_ + "\\site\\*.asp"), (Names{"lower.asp"}));
  EXPECT_EQ(ListFolder(root_ + "\\Site\\*.asp"), (Names{"mixed.asp"}));
  // No exact spelling: "SITE" comes first in listing order.
  EXPECT_EQ(ListFolder(root_ + "\\sItE\\*.asp"), (Names{"upper.asp"}));
}

TEST_F(FolderListingTest, MissingOrUnusableFolderGivesAnEmptyList) {
  AddFile("plain.asp");
  EXPECT_EQ(ListFolder(root_ + "\\nowhere\\*.asp"), Names{});
  EXPECT_EQ(ListFolder(root_ + "\\nowhere\\deeper\\*.asp"), Names{});
  EXPECT_EQ(ListFolder(root_ + "\\plain.asp\\*.asp"), Names{});
  EXPECT_EQ(ListFolder(root_ + "\\PLAIN.ASP\\*.asp"), Names{});
  EXPECT_EQ(ListFolder(root_ + std::string("\\x\0y\\*.asp", 11)), Names{});
}

TEST_F(FolderListingTest, EmptyFolderPartIsTheCurrentFolder) {
  AddFile("here.asp");
  AddFile("there.txt");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(root_);
  const Names with_separator = ListFolder("\\*.asp");
  const Names without_separator = ListFolder("*.asp");
  std::filesystem::current_path(previous);
  EXPECT_EQ(with_separator, (Names{"here.asp"}));
  EXPECT_EQ(without_separator, (Names{"here.asp"}));
}

}  // namespace
}  // namespace vorlintex
