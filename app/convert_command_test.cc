#include "app/convert_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/cli.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::app {
namespace {

class ConvertCommandTest : public ::testing::Test {
 protected:
  ConvertCommandTest() : files_(fs::MemoryFileSystem::Create()), env_(files_) {
    env_.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command",
                                    "\"C:\\VB98\\vb6.exe\" \"%1\"");
    files_->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return RunConvert(args, env_, out_, err_);
  }
  std::vector<std::string> Args(std::vector<std::string> more) {
    std::vector<std::string> args = {"--source", "C:\\src", "--target",
                                     "C:\\out",  "--dll",   "Shop.dll"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }
  static int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
  MemoryEnv env_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(ConvertCommandTest, AFullRunExitsZeroWithItsSummary) {
  EXPECT_EQ(Run(Args({"Orders.asp"})), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 5\n"
            "Build script to run: C:\\out\\Shop.bat\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(files_->Contents("C:\\out\\Shop.bat"),
            "\"\"C:\\VB98\\vb6.exe\"\" C:\\out\\Shop.vbp /m\r\n");
}

// The counts are what is on disk: a page counts when all its files took their names.
TEST_F(ConvertCommandTest, AFailedFileOperationExitsOneAndCountsWhatIsOnDisk) {
  files_->AddFile("C:\\src\\Menu.asp", "<p>Menu</p>\r\n");
  files_->FailOn(fs::Operation::kClose, "C:\\out\\orders.cls");
  files_->FailOn(fs::Operation::kCreateFolder, "C:\\elsewhere");
  EXPECT_EQ(Run(Args({"Orders.asp", "menu.asp", "gone.asp"})), 1);
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 7\n"
            "Build script to run: C:\\out\\Shop.bat\n"
            "Failures: 2\n"
            "  cannot write C:\\out\\orders.cls: injected failure\n"
            "  cannot read C:\\src\\gone.asp: No such file or directory\n");
  EXPECT_EQ(files_->AllFiles().size(), 2u + 7u);

  EXPECT_EQ(Run({"--source", "C:\\src", "--target", "C:\\elsewhere", "--dll", "x", "--html",
                 "Orders.asp"}),
            1);
  EXPECT_EQ(err_.str().find("vorlintex: cannot create C:\\elsewhere: injected failure\n"), 0u)
      << err_.str();
}

TEST_F(ConvertCommandTest, AMissingIncludeFileExitsTwoAndNamesIt) {
  files_->AddFile("C:\\src\\menu.asp", "<!-- #include file=\"parts\\top.inc\" -->\r\n<p>x</p>\r\n");
  EXPECT_EQ(Run(Args({"Orders.asp", "menu.asp", "later.asp"})), 2);
  EXPECT_NE(err_.str().find("the include file C:\\src\\parts\\top.inc was not found"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(out_.str().find("Build script to run"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("Pages converted into C:\\out: 1\n"), std::string::npos);
}

TEST_F(ConvertCommandTest, AllTakesWhatTheSelectionPageWouldList) {
  files_->AddFile("C:\\src\\menu.ASP", "<p>Menu</p>\r\n");
  files_->AddFile("C:\\src\\notes.txt", "notes\r\n");
  files_->AddFile("C:\\src\\top.inc", "<p>top</p>\r\n");
  EXPECT_EQ(Run(Args({"--all"})), 0) << err_.str();
  EXPECT_NE(out_.str().find("Pages converted into C:\\out: 2\n"), std::string::npos) << out_.str();
  // In the listing's order: menu.ASP before Orders.asp.
  const std::string project = files_->Contents("C:\\out\\Shop.vbp").value_or("");
  EXPECT_NE(project.find("Class=menu; menu.cls\r\nClass=orders; orders.cls\r\n"), std::string::npos)
      << project;
}

TEST_F(ConvertCommandTest, HtmlPrintsTheWizardsPage) {
  EXPECT_EQ(Run(Args({"--html", "Orders.asp"})), 0);
  std::string page = out_.str();
  EXPECT_TRUE(page.starts_with("<HTML>\r\n<HEAD>\r\n")) << page;
  EXPECT_NE(page.find("Done generating all the VB files in C:\\out.<BR><BR>\r\n"),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("Files written"), std::string::npos);
}

TEST_F(ConvertCommandTest, TheSourceFolderAsTargetExitsOneWritingNothing) {
  size_t before = files_->AllFiles().size();
  EXPECT_EQ(Run({"--source", "C:\\src", "--target", "c:\\SRC", "--dll", "x", "Orders.asp"}), 1);
  EXPECT_NE(err_.str().find("the target directory is the source directory"), std::string::npos)
      << err_.str();
  EXPECT_EQ(files_->AllFiles().size(), before);
}

TEST_F(ConvertCommandTest, UsageErrorsExitSixtyFourWithOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string named;  // what the one line must say
  };
  const Case cases[] = {
      {Args({}), "name the pages"},
      {Args({"--all", "Orders.asp"}), "--all"},
      {{"--target", "C:\\out", "--dll", "x", "Orders.asp"}, "--source"},
      {{"--source", "C:\\src", "--target", "C:\\out", "Orders.asp"}, "--dll"},
      {Args({"--nonsense", "Orders.asp"}), "--nonsense"},
      {{"--source", "", "--target", "C:\\out", "--dll", "x", "Orders.asp"},
       "--source cannot be blank"},
      {{"--source", "C:\\src", "--target", "", "--dll", "x", "--all"}, "--target cannot be blank"},
      {{"--source", "C:\\src", "--target", "C:\\out", "--dll", "", "Orders.asp"},
       "--dll cannot be blank"},
      {Args({"Orders.asp", "..\\secret.asp"}),
       "'..\\secret.asp' is not a page of the source folder"},
      {Args({"sub/page.asp"}), "'sub/page.asp' is not a page of the source folder"},
      {Args({"C:page.asp"}), "plain file names of the source folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    EXPECT_EQ(Run(c.args), 64);
    EXPECT_EQ(Lines(err_.str()), 1) << err_.str();
    EXPECT_NE(err_.str().find(c.named), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("vorlintex convert --help"), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
  EXPECT_FALSE(files_->FolderExists("C:\\out"));
}

TEST_F(ConvertCommandTest, AllOnASourceFolderThatCannotBeListedExitsOne) {
  files_->AddFile("C:\\file", "not a folder\r\n");
  for (const char* source : {"C:\\nowhere", "C:\\file"}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(Run({"--source", source, "--target", "C:\\out", "--dll", "x", "--all"}), 1);
    EXPECT_EQ(err_.str().find("vorlintex: cannot list the source folder " + std::string(source)),
              0u)
        << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
  EXPECT_FALSE(files_->FolderExists("C:\\out"));
}

class CliTest : public ConvertCommandTest {
 protected:
  int RunMain(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    EnvFactory new_env = [this] { return std::make_unique<MemoryEnv>(files_); };
    return RunCli(args, new_env, out_, err_);
  }
};

TEST_F(CliTest, HelpAndVersion) {
  EXPECT_EQ(RunMain({"--version"}), 0);
  EXPECT_EQ(out_.str(), "vorlintex 1.0.0\n");
  EXPECT_EQ(RunMain({"--help"}), 0);
  EXPECT_NE(out_.str().find("serve"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("convert"), std::string::npos) << out_.str();
  EXPECT_EQ(RunMain({"convert", "--help"}), 0);
  EXPECT_NE(out_.str().find("--source"), std::string::npos) << out_.str();
  EXPECT_EQ(RunMain({"serve", "--help"}), 0);
  EXPECT_NE(out_.str().find("--listen"), std::string::npos) << out_.str();
}

TEST_F(CliTest, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string named;  // what the one line must name
  };
  const Case cases[] = {
      {{}, "vorlintex"},
      {{"frobnicate"}, "frobnicate"},
      {{"frobnicate", "--all"}, "frobnicate"},
      {{"serve", "--listen", "nowhere"}, "--listen"},
      {{"serve", "--threads", "0"}, "--threads"},
      {{"convert", "--source", "C:\\src"}, "--target"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.front());
    EXPECT_EQ(RunMain(c.args), 64);
    EXPECT_EQ(Lines(err_.str()), 1) << err_.str();
    EXPECT_NE(err_.str().find(c.named), std::string::npos) << err_.str();
  }
}

TEST_F(CliTest, ConvertRunsThroughTheCommandLine) {
  EXPECT_EQ(RunMain({"convert", "--source", "C:\\src", "--target", "C:\\out", "--dll", "Shop",
                     "Orders.asp"}),
            0)
      << err_.str();
  EXPECT_TRUE(files_->Contents("C:\\out\\orders.cls").has_value());
}

}  // namespace
}  // namespace vorlintex::app
