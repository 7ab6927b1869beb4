// A generation run whose file operations fail: each failure is skipped, recorded once per
// file, and listed in the report; a run aimed at its own source folder is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/generation_run_test_texts.h"
#include "generator/run_summary.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

using testing::ClassModule;
using testing::kPageHead;
using testing::kProjectHeader;
using testing::kShopReportNotes;
using testing::ShopTrailer;

constexpr char kWithErrorsInOut[] = "Generation finished with errors in C:\\out.<BR><BR>\r\n";
constexpr char kRefusal[] =
    "Source and Target Directory cannot be the same, otherwise you overwritten your original "
    "ASP files.<BR>\r\n"
    "</BODY>\r\n"
    "</HTML>\r\n";

class LastSummary : public RunObserver {
 public:
  void PageConverted(std::string_view base_name) override { pages.emplace_back(base_name); }
  void FileWritten(std::string_view path) override { files.emplace_back(path); }
  void RunFinished(const RunSummary& summary) override {
    ++runs;
    last = summary;
  }
  int runs = 0;
  RunSummary last;
  std::vector<std::string> pages;  // as the run told them, in order
  std::vector<std::string> files;
};

class GenerationFaultTest : public ::testing::Test {
 protected:
  GenerationFaultTest() : files_(fs::MemoryFileSystem::Create()), env_(files_) {
    files_->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    files_->AddFile("C:\\src\\b.asp", "<p>B</p>\r\n");
  }

  Status Run(const std::string& source, const std::string& target,
             const std::vector<std::string>& pages) {
    input_.source_dir = source;
    input_.target_dir = target;
    input_.dll_name = "Shop";
    for (const std::string& page : pages) input_.pages.push_back(page);
    Services services;
    services.env = &env_;
    services.observer = &observer_;
    return RunGeneration(input_, response_, services).host_failure;
  }

  std::string File(const std::string& path) {
    return files_->Contents(path).value_or("<no file " + path + ">");
  }

  std::vector<std::string> AllFiles() {
    std::vector<std::string> paths = files_->AllFiles();
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
  MemoryEnv env_;
  RunInput input_;
  host::MemoryResponse response_;
  LastSummary observer_;
};

const std::string kClassA = ClassModule("a", "", "Response.Write (\"<p>A</p>\" & vbCrlf)\r\n");
const std::string kClassB = ClassModule("b", "", "Response.Write (\"<p>B</p>\" & vbCrlf)\r\n");
const std::string kReplacementB =
    "<%\r\n"
    "Dim cb\r\n"
    "Set cb = Server.CreateObject(\"tShop.b\")\r\n"
    "cb.b\r\n"
    "Set cb = Nothing\r\n"
    "%>\r\n";

TEST_F(GenerationFaultTest, AProjectFileThatCannotBeCreatedIsReportedOnce) {
  files_->FailOn(fs::Operation::kCreate, "C:\\out\\Shop.vbp");
  ASSERT_TRUE(Run("C:\\src", "C:\\out", {"a.asp"}).ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kWithErrorsInOut +
                                  "Could not write C:\\out\\Shop.vbp: injected failure<BR>\r\n" +
                                  kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), "<no file C:\\out\\Shop.vbp>");
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
  ASSERT_EQ(observer_.last.failures.size(), 1u);
  EXPECT_EQ(observer_.last.failures[0].access, Access::kWrite);
  EXPECT_EQ(std::count(observer_.files.begin(), observer_.files.end(), "C:\\out\\Shop.vbp"), 0);
}

TEST_F(GenerationFaultTest, AFailingClassModuleWriteIsReportedAndTheRunGoesOn) {
  files_->FailOn(fs::Operation::kWrite, "C:\\out\\a.cls");
  ASSERT_TRUE(Run("C:\\src", "C:\\out", {"a.asp", "b.asp"}).ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kWithErrorsInOut +
                                  "Could not write C:\\out\\a.cls: injected failure<BR>\r\n" +
                                  kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\a.cls"), "");
  EXPECT_EQ(File("C:\\out\\b.cls"), kClassB);
  EXPECT_EQ(File("C:\\out\\b.asp"), kReplacementB);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), std::string(kProjectHeader) +
                                           "Class=a; a.cls\r\n"
                                           "Class=b; b.cls\r\n" +
                                           ShopTrailer());
  EXPECT_EQ(observer_.pages, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(std::count(observer_.files.begin(), observer_.files.end(), "C:\\out\\a.cls"), 0);
}

TEST_F(GenerationFaultTest, ATargetWhoseParentIsMissingListsEveryFileAndStillReports) {
  ASSERT_TRUE(Run("C:\\src", "C:\\missing\\out", {"a.asp"}).ok());
  EXPECT_EQ(
      response_.body(),
      std::string(kPageHead) +
          "Generation finished with errors in C:\\missing\\out.<BR><BR>\r\n"
          "Could not write C:\\missing\\out\\Shop.bat: No such file or directory<BR>\r\n"
          "Could not write C:\\missing\\out\\Shop.vbp: No such file or directory<BR>\r\n"
          "Could not write C:\\missing\\out\\a.cls: No such file or directory<BR>\r\n"
          "Could not write C:\\missing\\out\\a.asp: No such file or directory<BR>\r\n"
          "Could not write C:\\missing\\out\\a.vbw: No such file or directory<BR>\r\n"
          "Important Notes: <BR>\r\n"
          "1. C:\\missing\\out\\Shop.bat file was generated in C:\\missing\\out<BR>\r\n"
          "2. You can now run it from Dos prompt to generate your dll file in "
          "C:\\missing\\out<BR>\r\n"
          "3. Or you can use vb6 to open the generated project file C:\\missing\\out\\Shop.vbp "
          "to do editing to your classes.<BR>\r\n"
          "4. Now you should copy your original asp files in C:\\src somewhere and then "
          "replace by all the new asp(s) generated in C:\\missing\\out directory.<BR>\r\n"
          "6. Now you should be able to rerun your asp from IIS using the dll version in a "
          "much faster speed.<BR>\r\n"
          "7. If you need to install your dlls in production server machines, you should run "
          "VB's package wizard to package your generated dll to include all the necessary vb "
          "runtime dlls.<BR>\r\n"
          "</BODY>\r\n"
          "</HTML>\r\n");
  EXPECT_EQ(AllFiles(), (std::vector<std::string>{"C:\\src\\a.asp", "C:\\src\\b.asp"}));
  EXPECT_FALSE(files_->FolderExists("C:\\missing"));
  EXPECT_TRUE(observer_.files.empty());
  EXPECT_EQ(observer_.pages, (std::vector<std::string>{"a"}));
}

TEST_F(GenerationFaultTest, AMissingSourcePageIsConvertedAsAnEmptyPageAndReported) {
  ASSERT_TRUE(Run("C:\\src", "C:\\out", {"gone.asp", "b.asp"}).ok());
  EXPECT_EQ(response_.body(),
            std::string(kPageHead) + kWithErrorsInOut +
                "Could not read C:\\src\\gone.asp: No such file or directory<BR>\r\n" +
                kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\gone.cls"), ClassModule("gone", "", ""));
  EXPECT_EQ(File("C:\\out\\b.cls"), kClassB);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), std::string(kProjectHeader) +
                                           "Class=gone; gone.cls\r\n"
                                           "Class=b; b.cls\r\n" +
                                           ShopTrailer());
  ASSERT_EQ(observer_.last.failures.size(), 1u);
  EXPECT_EQ(observer_.last.failures[0].access, Access::kRead);
}

TEST_F(GenerationFaultTest, UnreadableSourceLinesAreReported) {
  files_->FailOn(fs::Operation::kRead, "C:\\src\\a.asp");
  ASSERT_TRUE(Run("C:\\src", "C:\\out", {"a.asp"}).ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kWithErrorsInOut +
                                  "Could not read C:\\src\\a.asp: injected failure<BR>\r\n" +
                                  kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\a.cls"), ClassModule("a", "", ""));
}

TEST_F(GenerationFaultTest, ATargetThatIsTheSourceFolderIsRefusedWithoutTouchingAFile) {
  const std::string targets[] = {"C:\\src", "C:\\src\\", "c:/SRC"};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    files_ = fs::MemoryFileSystem::Create();
    files_->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    files_->AddFile("C:\\src\\Shop.vbp", "mine\r\n");
    MemoryEnv env(files_);
    RunInput input;
    input.source_dir = "C:\\src";
    input.target_dir = target;
    input.dll_name = "Shop";
    input.pages.push_back("a.asp");
    host::MemoryResponse response;
    LastSummary observer;
    Services services;
    services.env = &env;
    services.observer = &observer;
    const long operations_before = files_->OperationCount();
    ASSERT_TRUE(RunGeneration(input, response, services).host_failure.ok());
    EXPECT_EQ(response.body(), std::string(kPageHead) + kRefusal);
    EXPECT_EQ(files_->OperationCount(), operations_before);
    EXPECT_EQ(files_->Contents("C:\\src\\a.asp"), "<p>A</p>\r\n");
    EXPECT_EQ(files_->Contents("C:\\src\\Shop.vbp"), "mine\r\n");
    EXPECT_EQ(files_->AllFiles().size(), 2u);
    EXPECT_TRUE(observer.last.refused_same_folder);
    EXPECT_TRUE(observer.last.build_script.empty());
  }
}

TEST_F(GenerationFaultTest, AFolderBesideTheSourceIsNotTheSource) {
  files_->AddFolder("C:\\src2");
  ASSERT_TRUE(Run("C:\\src", "C:\\src2", {"a.asp"}).ok());
  EXPECT_EQ(File("C:\\src2\\a.cls"), kClassA);
  EXPECT_FALSE(observer_.last.refused_same_folder);
}

TEST_F(GenerationFaultTest, AFileServiceThatCannotBeMadeGoesToTheHostAfterThePageHead) {
  env_.FailNewFileService("class not registered");
  Status status = Run("C:\\src", "C:\\out", {"a.asp"});
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.reason(), "class not registered");
  EXPECT_EQ(response_.body(), kPageHead);
  EXPECT_FALSE(files_->FolderExists("C:\\out"));
  ASSERT_EQ(observer_.runs, 1);
  EXPECT_FALSE(observer_.last.host_failure.ok());
}

TEST_F(GenerationFaultTest, AFailingPageHeadEndsTheRunBeforeAnyFileWork) {
  response_.FailFromWrite(1);
  const long operations_before = files_->OperationCount();
  EXPECT_FALSE(Run("C:\\src", "C:\\out", {"a.asp"}).ok());
  EXPECT_EQ(response_.body(), "");
  EXPECT_EQ(files_->OperationCount(), operations_before);
  EXPECT_EQ(observer_.runs, 1);
}

TEST_F(GenerationFaultTest, AFailingReportWriteGoesToTheHostAfterTheFilesAreDone) {
  response_.FailFromWrite(8);
  EXPECT_FALSE(Run("C:\\src", "C:\\out", {"a.asp"}).ok());
  EXPECT_EQ(response_.body(), kPageHead);
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
}

}  // namespace
}  // namespace vorlintex::generator
