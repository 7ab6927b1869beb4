// The wizard's pages, byte for byte, as one user's session walks through them.
#include <gtest/gtest.h>

#include "contract/memory_host.h"
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
      return WriteFileOptions(response, env_, curpath);
    };
    status_ = DispatchPage(request, session_, response, get_files, Services{&env_});
    EXPECT_TRUE(status_.ok() || failing_write > 0 || *failing_item) << status_.ToString();
    return response.body();
  }

  Status status_;
  std::shared_ptr<fs::MemoryFileSystem> files_ = fs::MemoryFileSystem::Create();
  MemoryEnv env_{files_};
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

TEST_F(WizardPagesTest, PageTwoRunsTheGenerationWithThePostedFields) {
  files_->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
  const std::string body = Page({{"PageNumber", "2"},
                                 {"sourcedir", "C:\\src"},
                                 {"targetdir", "C:\\out"},
                                 {"dllname", "Shop.dll"},
                                 {"asplist", "Orders.asp"}});
  const std::string done =
      testing::PageHead() + "Done generating all the VB files in C:\\out.<BR><BR>\r\n";
  EXPECT_EQ(body.substr(0, done.size()), done);
  EXPECT_EQ(files_->Contents("C:\\out\\orders.cls")->substr(0, 16), "VERSION 1.0 CLAS");
  EXPECT_NE(files_->Contents("C:\\out\\Shop.vbp")->find("\r\nClass=orders; orders.cls\r\n"),
            std::string::npos);
  EXPECT_EQ(files_->AllFiles().size(), 6u);  // the page and five outputs
}

}  // namespace
}  // namespace vorlintex::wizard
