#include "generator/generation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "contract/memory_host.h"
#include "generator/generation_run_test_texts.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

using testing::ClassHeader;
using testing::ClassModule;
using testing::kPageHead;
using testing::kProjectHeader;
using testing::kProjectTrailerTail;
using testing::kShopReportNotes;
using testing::ShopTrailer;

constexpr char kDoneInOut[] = "Done generating all the VB files in C:\\out.<BR><BR>\r\n";

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

class GenerationRunTest : public ::testing::Test {
 protected:
  GenerationRunTest() : files_(fs::MemoryFileSystem::Create()), env_(files_) {
    files_->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    files_->AddFile("C:\\src\\b.asp",
                    "<%\r\n"
                    "Sub Hello()\r\n"
                    "Response.Write \"hi\"\r\n"
                    "End Sub\r\n"
                    "%>\r\n"
                    "<p>B</p>\r\n");
    files_->AddFile("C:\\src\\c.asp", "<% x = 1 %>\r\n");
  }

  void Post(const std::string& source, const std::string& target, const std::string& dll,
            const std::vector<std::string>& pages) {
    input_.source_dir = source;
    input_.target_dir = target;
    input_.dll_name = dll;
    for (const std::string& page : pages) input_.pages.push_back(page);
  }

  Status Run() {
    Services services;
    services.env = &env_;
    services.turns = &turns_;
    services.observer = &observer_;
    return RunGeneration(input_, response_, services).host_failure;
  }

  std::string File(const std::string& path) {
    return files_->Contents(path).value_or("<no file " + path + ">");
  }

  // Every file in the store, sorted.
  std::vector<std::string> AllFiles() {
    std::vector<std::string> paths = files_->AllFiles();
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
  MemoryEnv env_;
  RunInput input_;
  host::MemoryResponse response_;
  TargetTurns turns_;
  LastSummary observer_;
};

// The class modules of the three source pages of the fixture.
const std::string kClassA = ClassModule("a", "", "Response.Write (\"<p>A</p>\" & vbCrlf)\r\n");
const std::string kClassB = ClassModule("b",
                                        "Sub Hello()\r\n"
                                        "Response.Write \"hi\"\r\n"
                                        "End Sub\r\n",
                                        "\r\n"
                                        "Response.Write \"hi\"\r\n"
                                        "End Sub\r\n"
                                        "\r\n"
                                        "Response.Write (\"<p>B</p>\" & vbCrlf)\r\n");
const std::string kClassC = ClassModule("c", "", " x = 1 \r\n");

std::string ReplacementPage(const std::string& base, const std::string& dll) {
  return "<%\r\n"
         "Dim c" +
         base +
         "\r\n"
         "Set c" +
         base + " = Server.CreateObject(\"t" + dll + "." + base +
         "\")\r\n"
         "c" +
         base + "." + base +
         "\r\n"
         "Set c" +
         base +
         " = Nothing\r\n"
         "%>\r\n";
}

TEST_F(GenerationRunTest, NoPageSelected) {
  Post("C:\\src", "C:\\out", "Shop", {});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), kProjectHeader + ShopTrailer());
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(AllFiles(),
            (std::vector<std::string>{"C:\\out\\Shop.bat", "C:\\out\\Shop.vbp", "C:\\src\\a.asp",
                                      "C:\\src\\b.asp", "C:\\src\\c.asp"}));
  ASSERT_EQ(observer_.runs, 1);
  EXPECT_TRUE(observer_.pages.empty());
  EXPECT_EQ(observer_.files, (std::vector<std::string>{"C:\\out\\Shop.vbp", "C:\\out\\Shop.bat"}));
  EXPECT_EQ(observer_.last.build_script, "C:\\out\\Shop.bat");
  EXPECT_TRUE(observer_.last.failures.empty());
  EXPECT_FALSE(observer_.last.missing_include);
  EXPECT_FALSE(observer_.last.refused_same_folder);
}

TEST_F(GenerationRunTest, ThreePagesInTheOrderPosted) {
  Post("C:\\src", "C:\\out", "Shop", {"a.asp", "b.asp", "c.asp"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), std::string(kProjectHeader) +
                                           "Class=a; a.cls\r\n"
                                           "Class=b; b.cls\r\n"
                                           "Class=c; c.cls\r\n" +
                                           ShopTrailer());
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\b.cls"), kClassB);
  EXPECT_EQ(File("C:\\out\\c.cls"), kClassC);
  EXPECT_EQ(File("C:\\out\\a.asp"),
            "<%\r\n"
            "Dim ca\r\n"
            "Set ca = Server.CreateObject(\"tShop.a\")\r\n"
            "ca.a\r\n"
            "Set ca = Nothing\r\n"
            "%>\r\n");
  EXPECT_EQ(File("C:\\out\\b.asp"), ReplacementPage("b", "Shop"));
  EXPECT_EQ(File("C:\\out\\c.asp"), ReplacementPage("c", "Shop"));
  EXPECT_EQ(File("C:\\out\\a.vbw"), "a = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(File("C:\\out\\b.vbw"), "b = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(File("C:\\out\\c.vbw"), "c = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(AllFiles().size(), 3u + 2u + 9u);
  EXPECT_EQ(observer_.pages, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(observer_.files.size(), 11u);
  EXPECT_EQ(observer_.last.pages_converted, 3u);
  EXPECT_EQ(observer_.last.files_written, 11u);
  EXPECT_TRUE(observer_.last.build_script_written);
  EXPECT_TRUE(observer_.last.failures.empty());
}

TEST_F(GenerationRunTest, SelectedNamesGiveLowerCaseBaseNames) {
  struct Case {
    std::string selected;
    std::string source_path;  // the file the run reads
    std::string base;
  };
  const Case cases[] = {
      {"Default.ASP", "C:\\src\\default.asp", "default"},
      {"page.asp.old", "C:\\src\\page.asp", "page"},
      {"menu.inc", "C:\\src\\menu.inc.asp", "menu.inc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    auto files = fs::MemoryFileSystem::Create();
    files->AddFile(c.source_path, "<p>x</p>\r\n");
    MemoryEnv env(files);
    RunInput input;
    input.source_dir = "C:\\src";
    input.target_dir = "C:\\out";
    input.dll_name = "Shop";
    input.pages.push_back(c.selected);
    host::MemoryResponse response;
    Services services;
    services.env = &env;
    ASSERT_TRUE(RunGeneration(input, response, services).host_failure.ok());
    EXPECT_EQ(response.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
    EXPECT_EQ(files->Contents("C:\\out\\" + c.base + ".cls"),
              ClassModule(c.base, "", "Response.Write (\"<p>x</p>\" & vbCrlf)\r\n"));
    EXPECT_EQ(files->Contents("C:\\out\\" + c.base + ".asp"), ReplacementPage(c.base, "Shop"));
    EXPECT_EQ(files->Contents("C:\\out\\" + c.base + ".vbw"),
              c.base + " = 242, 242, 873, 753, Z\r\n");
    EXPECT_EQ(files->Contents("C:\\out\\Shop.vbp"),
              kProjectHeader + ("Class=" + c.base + "; " + c.base + ".cls\r\n") + ShopTrailer());
    EXPECT_EQ(files->AllFiles().size(), 6u);
  }
}

TEST_F(GenerationRunTest, TheBuildLineNamesTheCompilerFoundInTheRegistry) {
  struct Case {
    const char* what;
    std::optional<std::string> value;
    std::string build_script;
  };
  const Case cases[] = {
      {"no value", std::nullopt, "vb6 C:\\out\\Shop.vbp /m\r\n"},
      {"program and argument", "C:\\VB98\\vb6.exe \"%1\"",
       "\"C:\\VB98\\vb6.exe \" C:\\out\\Shop.vbp /m\r\n"},
      {"quoted program", "\"C:\\VB98\\vb6.exe\" \"%1\"",
       "\"\"C:\\VB98\\vb6.exe\"\" C:\\out\\Shop.vbp /m\r\n"},
      {"capitals", "C:\\VB98\\VB6.EXE \"%1\"",
       "\"C:\\VB98\\VB6.EXE \"%1\"\" C:\\out\\Shop.vbp /m\r\n"},
      {"exactly the program name", "vb6.exe", "\"vb6.exe\" C:\\out\\Shop.vbp /m\r\n"},
      {"300 characters", "C:\\VB98\\vb6.exe " + std::string(284, 'a'),
       "vb6 C:\\out\\Shop.vbp /m\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto files = fs::MemoryFileSystem::Create();
    files->AddFolder("C:\\src");
    MemoryEnv env(files);
    env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command", c.value);
    RunInput input;
    input.source_dir = "C:\\src";
    input.target_dir = "C:\\out";
    input.dll_name = "Shop";
    host::MemoryResponse response;
    Services services;
    services.env = &env;
    ASSERT_TRUE(RunGeneration(input, response, services).host_failure.ok());
    EXPECT_EQ(files->Contents("C:\\out\\Shop.bat"), c.build_script);
    EXPECT_EQ(response.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
  }
}

TEST_F(GenerationRunTest, TheSameBaseNameTwiceReplacesTheFilesAndListsTwoClassLines) {
  Post("C:\\src", "C:\\out", "Shop", {"a.asp", "A.ASP"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), std::string(kProjectHeader) +
                                           "Class=a; a.cls\r\n"
                                           "Class=a; a.cls\r\n" +
                                           ShopTrailer());
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\a.asp"), ReplacementPage("a", "Shop"));
  EXPECT_EQ(File("C:\\out\\a.vbw"), "a = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(observer_.pages, (std::vector<std::string>{"a", "a"}));
}

TEST_F(GenerationRunTest, DllNameIsCutBeforeDllAndKeepsItsCase) {
  struct Case {
    std::string posted;
    std::string dll;
  };
  const Case cases[] = {{"Orders.dll", "Orders"}, {"Shop.DLL", "Shop"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.posted);
    auto files = fs::MemoryFileSystem::Create();
    files->AddFile("C:\\src\\orders.asp", "");
    MemoryEnv env(files);
    RunInput input;
    input.source_dir = "C:\\src";
    input.target_dir = "C:\\out";
    input.dll_name = c.posted;
    input.pages.push_back("Orders.asp");
    host::MemoryResponse response;
    Services services;
    services.env = &env;
    ASSERT_TRUE(RunGeneration(input, response, services).host_failure.ok());
    EXPECT_EQ(files->Contents("C:\\out\\" + c.dll + ".vbp"),
              std::string(kProjectHeader) + "Class=orders; orders.cls\r\n" +
                  "Startup=\"(None)\"\r\n"
                  "ExeName32=\"" +
                  c.dll +
                  ".dll\"\r\n"
                  "Command32=\"\"\r\n"
                  "Name=\"t" +
                  c.dll + "\"\r\n" + kProjectTrailerTail);
    EXPECT_EQ(files->Contents("C:\\out\\" + c.dll + ".bat"),
              "vb6 C:\\out\\" + c.dll + ".vbp /m\r\n");
    EXPECT_EQ(files->Contents("C:\\out\\orders.asp"),
              "<%\r\n"
              "Dim corders\r\n"
              "Set corders = Server.CreateObject(\"t" +
                  c.dll +
                  ".orders\")\r\n"
                  "corders.orders\r\n"
                  "Set corders = Nothing\r\n"
                  "%>\r\n");
    EXPECT_EQ(files->Contents("C:\\out\\orders.cls"), ClassModule("orders", "", ""));
    EXPECT_EQ(response.body(),
              std::string(kPageHead) + kDoneInOut + "Important Notes: <BR>\r\n" + "1. C:\\out\\" +
                  c.dll + ".bat file was generated in C:\\out<BR>\r\n" +
                  "2. You can now run it from Dos prompt to generate your dll file in "
                  "C:\\out<BR>\r\n" +
                  "3. Or you can use vb6 to open the generated project file C:\\out\\" + c.dll +
                  ".vbp to do editing to your classes.<BR>\r\n" +
                  std::string(kShopReportNotes).substr(std::string(kShopReportNotes).find("4. ")));
  }
}

TEST_F(GenerationRunTest, ATargetEndingInABackslashGivesDoubledSeparators) {
  Post("C:\\src", "C:\\out\\", "Shop", {"a.asp"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(),
            std::string(kPageHead) +
                "Done generating all the VB files in C:\\out\\.<BR><BR>\r\n"
                "Important Notes: <BR>\r\n"
                "1. C:\\out\\\\Shop.bat file was generated in C:\\out\\<BR>\r\n"
                "2. You can now run it from Dos prompt to generate your dll file in "
                "C:\\out\\<BR>\r\n"
                "3. Or you can use vb6 to open the generated project file C:\\out\\\\Shop.vbp "
                "to do editing to your classes.<BR>\r\n"
                "4. Now you should copy your original asp files in C:\\src somewhere and then "
                "replace by all the new asp(s) generated in C:\\out\\ directory.<BR>\r\n"
                "6. Now you should be able to rerun your asp from IIS using the dll version in "
                "a much faster speed.<BR>\r\n"
                "7. If you need to install your dlls in production server machines, you should "
                "run VB's package wizard to package your generated dll to include all the "
                "necessary vb runtime dlls.<BR>\r\n"
                "</BODY>\r\n"
                "</HTML>\r\n");
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "vb6 C:\\out\\\\Shop.vbp /m\r\n");
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"),
            std::string(kProjectHeader) + "Class=a; a.cls\r\n" + ShopTrailer());
  EXPECT_EQ(observer_.last.build_script, "C:\\out\\\\Shop.bat");
}

TEST_F(GenerationRunTest, AnExistingTargetIsUsedAndItsFilesReplaced) {
  files_->AddFile("C:\\out\\a.cls", "old class\r\n");
  files_->AddFile("C:\\out\\Shop.vbp", "old project\r\n");
  Post("C:\\src", "C:\\out", "Shop", {"a.asp"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\Shop.vbp"),
            std::string(kProjectHeader) + "Class=a; a.cls\r\n" + ShopTrailer());
}

TEST_F(GenerationRunTest, ARunWaitsWhileAnotherHoldsItsTargetFolder) {
  files_->AddFolder("c:\\OUT");
  Post("C:\\src", "C:\\out", "Shop", {"a.asp"});
  TargetTurns::Turn held = turns_.Take(TargetTurns::KeyOf(env_, "c:/OUT/"));
  std::thread run([&] { EXPECT_TRUE(Run().ok()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(files_->Contents("C:\\out\\Shop.bat"));
  held = TargetTurns::Turn();
  run.join();
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(response_.body(), std::string(kPageHead) + kDoneInOut + kShopReportNotes);
}

TEST_F(GenerationRunTest, ARunOnAnotherFolderDoesNotWait) {
  files_->AddFolder("C:\\other");
  Post("C:\\src", "C:\\out", "Shop", {"a.asp"});
  TargetTurns::Turn held = turns_.Take(TargetTurns::KeyOf(env_, "C:\\other"));
  std::future<Status> run = std::async(std::launch::async, [&] { return Run(); });
  // A generous bound: a run that waited for the other folder would never end by itself.
  ASSERT_EQ(run.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_TRUE(run.get().ok());
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
}

TEST_F(GenerationRunTest, AMissingIncludeInTheSecondOfThreePagesEndsTheRun) {
  files_->AddFile("C:\\src\\b.asp",
                  "<p>B</p>\r\n"
                  "<!-- #include file=\"menu.inc\" -->\r\n"
                  "<p>after</p>\r\n");
  Post("C:\\src", "C:\\out", "Shop", {"a.asp", "b.asp", "c.asp"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(),
            std::string(kPageHead) +
                "<center>\r\n"
                "The include file C:\\src\\menu.inc not found, all include file should be in the "
                "same directory as the asp files.</center>\r\n"
                "</BODY>\r\n"
                "</HTML>\r\n");
  EXPECT_EQ(response_.write_count(), 7 + 5);
  EXPECT_EQ(File("C:\\out\\a.cls"), kClassA);
  EXPECT_EQ(File("C:\\out\\a.asp"), ReplacementPage("a", "Shop"));
  EXPECT_EQ(File("C:\\out\\a.vbw"), "a = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(File("C:\\out\\b.cls"), ClassHeader("b"));
  EXPECT_EQ(File("C:\\out\\b.asp"), "");
  EXPECT_EQ(File("C:\\out\\b.vbw"), "");
  EXPECT_EQ(File("C:\\out\\Shop.vbp"), std::string(kProjectHeader) + "Class=a; a.cls\r\n");
  EXPECT_EQ(File("C:\\out\\Shop.bat"), "");
  EXPECT_EQ(AllFiles(),
            (std::vector<std::string>{"C:\\out\\Shop.bat", "C:\\out\\Shop.vbp", "C:\\out\\a.asp",
                                      "C:\\out\\a.cls", "C:\\out\\a.vbw", "C:\\out\\b.asp",
                                      "C:\\out\\b.cls", "C:\\out\\b.vbw", "C:\\src\\a.asp",
                                      "C:\\src\\b.asp", "C:\\src\\c.asp"}));
  EXPECT_EQ(observer_.last.missing_include, "C:\\src\\menu.inc");
  EXPECT_EQ(observer_.pages, (std::vector<std::string>{"a"}));
  EXPECT_EQ(observer_.files,
            (std::vector<std::string>{"C:\\out\\a.cls", "C:\\out\\a.asp", "C:\\out\\a.vbw"}));
}

TEST_F(GenerationRunTest, TheMissingIncludePathIsEscapedInThePage) {
  files_->AddFile("C:\\src\\a.asp", "<!-- #include file=\"<b>&.inc\" -->\r\n");
  Post("C:\\src", "C:\\out", "Shop", {"a.asp"});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body(),
            std::string(kPageHead) +
                "<center>\r\n"
                "The include file C:\\src\\&lt;b&gt;&amp;.inc not found, all include file should "
                "be in the same directory as the asp files.</center>\r\n"
                "</BODY>\r\n"
                "</HTML>\r\n");
  EXPECT_EQ(observer_.last.missing_include, "C:\\src\\<b>&.inc");
}

TEST_F(GenerationRunTest, ReportValuesAreEscaped) {
  files_->AddFolder("C:\\R&D");
  Post("C:\\src", "C:\\R&D\\<new>\\out", "S\"1", {});
  ASSERT_TRUE(Run().ok());
  EXPECT_EQ(response_.body().substr(0, std::string(kPageHead).size()), kPageHead);
  std::string report = response_.body().substr(std::string(kPageHead).size());
  EXPECT_EQ(report.substr(0, report.find("Important")),
            "Generation finished with errors in C:\\R&amp;D\\&lt;new&gt;\\out.<BR><BR>\r\n"
            "Could not write C:\\R&amp;D\\&lt;new&gt;\\out\\S&quot;1.bat: No such file or "
            "directory<BR>\r\n"
            "Could not write C:\\R&amp;D\\&lt;new&gt;\\out\\S&quot;1.vbp: No such file or "
            "directory<BR>\r\n");
}

}  // namespace
}  // namespace vorlintex::generator
