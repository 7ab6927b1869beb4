// The wizard's pages, byte for byte, as one user's session walks through them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "contract/test_host.h"
#include "platform/fault_injection_env.h"
#include "platform/memory_env.h"
#include "wizard/dispatch.h"
#include "wizard/file_options.h"
#include "wizard/wizard_test_pages.h"

namespace vorlintex::wizard {
namespace {

using testing::EntryPage;
using testing::SelectionPage;
using Fields = std::vector<std::pair<std::string, std::string>>;

class WizardPagesTest : public ::testing::Test {
 protected:
  // One request in the user's session: the page; the page method's status is left in status_.
  std::string Page(const Fields& fields, int failing_write = 0, const char* failing_item = "") {
    host::MemoryRequest request;
    for (const auto& [name, value] : fields) request.AddFormField(name, value);
    if (*failing_item) request.FailItem(failing_item);
    host::MemoryResponse response;
    if (failing_write > 0) response.FailFromWrite(failing_write);
    auto get_files = [&](std::string& curpath) {
      return WriteFileOptions(response, *env_, curpath);
    };
    status_ = DispatchPage(request, session_, response, get_files, Services{env_.get()});
    return response.body();
  }
  // A fresh file store for the next page.
  void NewFiles() {
    env_.reset();
    files_ = fs::MemoryFileSystem::Create();
    memory_ = std::make_unique<MemoryEnv>(files_);
    env_ = std::make_unique<FaultInjectionEnv>(*memory_);
  }

  Status status_;
  std::shared_ptr<fs::MemoryFileSystem> files_ = fs::MemoryFileSystem::Create();
  std::unique_ptr<MemoryEnv> memory_ = std::make_unique<MemoryEnv>(files_);
  std::unique_ptr<FaultInjectionEnv> env_ = std::make_unique<FaultInjectionEnv>(*memory_);
  host::MemorySession session_;
};

TEST_F(WizardPagesTest, EntryAndSelectionPagesCarryTheValuesEscaped) {
  EXPECT_EQ(Page({{"PageNumber", ""}}), EntryPage("", "", ""));
  for (const char* name : {"Default.asp", "menu.ASP", "notes.txt", ".hidden.asp", "d.asp\\in.asp"})
    files_->AddFile(std::string("C:\\site\\") + name, "");
  files_->AddFile("C:\\a&b\\x\"<y>.asp", "");
  struct Case {
    std::string source, target, dll, source_html, target_html, dll_html, options;
  } cases[] = {
      {"C:\\site", "C:\\out", "Shop.dll", "C:\\site", "C:\\out", "Shop.dll",
       "<option value=\"Default.asp\">Default.asp</option>\n"
       "<option value=\"menu.ASP\">menu.ASP</option>\n"},
      // A crafted value would end the attribute and run script in the wizard's page.
      {"C:\\a&b", "\"><script>alert(1)</script>", "<b>", "C:\\a&amp;b",
       "&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;", "&lt;b&gt;",
       "<option value=\"x&quot;&lt;y&gt;.asp\">x&quot;&lt;y&gt;.asp</option>\n"},
  };
  for (const Case& c : cases) {
    // The folder listed is the one just posted, not the one the session holds from before.
    EXPECT_EQ(Page({{"PageNumber", "1"},
                    {"sourcedir", c.source},
                    {"targetdir", c.target},
                    {"dllname", c.dll}}),
              SelectionPage(c.source_html, c.target_html, c.dll_html, c.options));
    // The session keeps the values as posted; only the pages escape them.
    EXPECT_TRUE(status_.ok()) << status_.ToString();
    EXPECT_EQ(session_.Stored("targetdir"), c.target);
    EXPECT_EQ(Page({}), EntryPage(c.source_html, c.target_html, c.dll_html));
  }
  // Other page numbers write nothing and keep the session.
  for (const char* page_number : {"3", " 1", "01", "x", "1 ", "2 "}) {
    EXPECT_EQ(Page({{"PageNumber", page_number}, {"sourcedir", "C:\\other"}}), "") << page_number;
    EXPECT_EQ(session_.Stored("sourcedir"), "C:\\a&b");
  }
  Page({{"PageNumber", "1"}});
  EXPECT_EQ(session_.Stored("dllname"), "");
}

TEST_F(WizardPagesTest, AFailingHostCallEndsThePageThere) {
  EXPECT_EQ(Page({}, 0, "PageNumber"), "");
  EXPECT_FALSE(status_.ok());
  Page({{"PageNumber", "1"}}, 0, "sourcedir");  // a read made while the page is being written
  EXPECT_EQ(status_.path(), "sourcedir");
  const std::string page = EntryPage("", "", "");
  size_t end = 0;
  for (int line = 0; line < 29; ++line) end = page.find('\n', end) + 1;
  EXPECT_EQ(Page({}, 30), page.substr(0, end));  // nothing was tried after the failing 30th write
  EXPECT_FALSE(status_.ok());
}

// Page two runs the generation with the posted fields and renders how it ended: the
// completion report (with a line per failure when any file failed), the page of a missing
// include file, a refusal, or, going back to the page host, a failing Write or no file service
// object. A failing page head stops the page before any file work. Every value is escaped.
TEST_F(WizardPagesTest, PageTwoRendersHowTheRunEnded) {
  const std::string head = testing::PageHead();
  auto refused = [&head](const std::string& message) {
    return head + message + "<BR>\r\n" + testing::kPageEnd;
  };
  const std::string not_a_page =
      ": the name holds a folder part, so it is not a page of the source folder<BR>\r\n";
  const struct {
    std::string source, target, dll, page;
    int failing_write;  // the response write that fails; -1: no file service can be made
    std::string body;
    bool files_touched;
  } cases[] = {
      {"C:\\src", "C:\\out", "Shop.dll", "Orders.asp", 0,
       head + testing::Report("C:\\src", "C:\\out", "Shop"), true},
      {" ", "C:\\R&D", "S&p", "../a.asp", 0,  // spaces are not blank
       head + testing::Report(" ", "C:\\R&amp;D", "S&amp;p",
                              "Could not read  \\../a.asp" + not_a_page),
       true},
      {"C:\\src", "C:\\out", "Shop", "inc.asp", 0,
       head +
           "<center>\r\nThe include file C:\\src\\&lt;b&gt;&amp;.inc not found, all include file "
           "should be in the same directory as the asp files.</center>\r\n" +
           testing::kPageEnd,
       true},
      {"", "", "", "Orders.asp", 0, refused("Source Directory cannot be blank."), false},
      {"C:\\src", "", "", "Orders.asp", 0, refused("Target Directory cannot be blank."), false},
      {"C:\\src", "c:/SRC", "", "Orders.asp", 0,
       refused("Source and Target Directory cannot be the same, otherwise you overwritten your "
               "original ASP files."),
       false},
      {"C:\\src", "C:\\out", "", "Orders.asp", 0, refused("Dll Name cannot be blank."), false},
      {"C:\\src", "C:\\out", ".DLL", "Orders.asp", 0, refused("Dll Name cannot be blank."), false},
      {"C:\\src", "C:\\out", "..\\x.dll", "Orders.asp", 0,
       refused("Dll Name cannot contain \\, / or :."), false},
      {"C:\\src", "C:\\out", "Shop", "Orders.asp", -1, head, false},
      {"C:\\src", "C:\\out", "Shop", "Orders.asp", 1, "", false},
      {"C:\\src", "C:\\out", "Shop", "Orders.asp", 8, head, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + "|" + c.target + "|" + c.dll + "|" + std::to_string(c.failing_write));
    NewFiles();
    files_->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
    files_->AddFile("C:\\src\\inc.asp", "<!-- #include file=\"<b>&.inc\" -->\r\n");
    if (c.failing_write < 0) env_->FailNewFileService("class not registered");
    const long operations_before = env_->OperationCount();
    EXPECT_EQ(Page({{"PageNumber", "2"},
                    {"sourcedir", c.source},
                    {"targetdir", c.target},
                    {"dllname", c.dll},
                    {"asplist", c.page}},
                   std::max(c.failing_write, 0)),
              c.body);
    EXPECT_EQ(status_.ok(), c.failing_write == 0);
    EXPECT_EQ(env_->OperationCount() != operations_before, c.files_touched);
  }
  EXPECT_EQ(files_->Contents("C:\\out\\orders.cls")->substr(0, 16), "VERSION 1.0 CLAS");
}

}  // namespace
}  // namespace vorlintex::wizard
