// The entry and selection pages as the component renders them through the page host.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "component/morvane.h"
#include "component/wizard_test_pages.h"
#include "contract/memory_host.h"
#include "platform/memory_env.h"

namespace vorlintex {
namespace {

using wizard::testing::Crlf;
using wizard::testing::EntryPage;
using wizard::testing::SelectionPage;

int CountLines(const std::string& body) {
  return static_cast<int>(std::count(body.begin(), body.end(), '\n'));
}

class WizardPagesTest : public ::testing::Test {
 protected:
  WizardPagesTest() : env_(files_) {}

  // One request through the component, as the host page makes it, in the user's session.
  std::string Render(const std::function<void(host::MemoryRequest&)>& fill) {
    auto context = std::make_shared<host::MemoryContext>(session_);
    fill(context->request());
    Morvane component(Services{&env_, nullptr, nullptr});
    EXPECT_TRUE(component.OnStartPage(context).ok());
    Status status = component.morvane();
    EXPECT_TRUE(status.ok()) << status.ToString();
    EXPECT_TRUE(component.OnEndPage().ok());
    return context->response().body();
  }

  std::string Selection(std::string source, std::string target, std::string dll) {
    return Render([&](host::MemoryRequest& request) {
      request.AddFormField("PageNumber", "1");
      request.AddFormField("sourcedir", source);
      request.AddFormField("targetdir", target);
      request.AddFormField("dllname", dll);
    });
  }

  std::shared_ptr<fs::MemoryFileSystem> files_ = fs::MemoryFileSystem::Create();
  MemoryEnv env_;
  std::shared_ptr<host::MemorySession> session_ = std::make_shared<host::MemorySession>();
};

TEST_F(WizardPagesTest, FirstVisitWritesTheEntryPageWithEmptyValues) {
  const std::string body = Render([](host::MemoryRequest&) {});
  EXPECT_EQ(body, EntryPage("", "", ""));
  EXPECT_EQ(CountLines(body), 68);
  EXPECT_EQ(body.substr(0, 32), "<script language=\"JavaScript\">\r\n");
}

TEST_F(WizardPagesTest, EntryPageShowsWhatTheLastSelectionPageStored) {
  files_->AddFolder("C:\\src");
  Selection("C:\\src", "C:\\out", "Shop.dll");
  const std::string body = Render([](host::MemoryRequest&) {});
  EXPECT_EQ(body, EntryPage("C:\\src", "C:\\out", "Shop.dll"));
}

TEST_F(WizardPagesTest, SelectionPageOfAnEmptyFolder) {
  files_->AddFolder("C:\\empty");
  const std::string body = Selection("C:\\empty", "C:\\out", "Shop");
  EXPECT_EQ(body, SelectionPage("C:\\empty", "C:\\out", "Shop", ""));
  EXPECT_EQ(CountLines(body), 63);
  EXPECT_EQ(session_->Stored("sourcedir"), "C:\\empty");
  EXPECT_EQ(session_->Stored("targetdir"), "C:\\out");
  EXPECT_EQ(session_->Stored("dllname"), "Shop");
}

TEST_F(WizardPagesTest, SelectionPageListsTheFolderPagesInTheirOwnCase) {
  files_->AddFile("C:\\site\\Default.asp", "<p>home</p>");
  files_->AddFile("C:\\site\\menu.ASP", "");
  files_->AddFile("C:\\site\\notes.txt", "");
  files_->AddFile("C:\\site\\.hidden.asp", "");
  files_->AddFile("C:\\site\\sub.asp\\inner.asp", "");
  const std::string body = Selection("C:\\site", "C:\\out", "Shop");
  EXPECT_EQ(body, SelectionPage("C:\\site", "C:\\out", "Shop",
                                "<option value=\"Default.asp\">Default.asp</option>\n"
                                "<option value=\"menu.ASP\">menu.ASP</option>\n"));
  EXPECT_EQ(CountLines(body), 65);
}

TEST_F(WizardPagesTest, SelectionPageListsTheFolderJustPostedNotTheOneInTheSession) {
  files_->AddFile("C:\\old\\old.asp", "");
  files_->AddFile("C:\\new\\new.asp", "");
  Selection("C:\\old", "C:\\out", "Shop");
  const std::string body = Selection("C:\\new", "C:\\out", "Shop");
  EXPECT_EQ(body, SelectionPage("C:\\new", "C:\\out", "Shop",
                                "<option value=\"new.asp\">new.asp</option>\n"));
}

TEST_F(WizardPagesTest, SelectionPageStoresEmptyValuesForMissingFields) {
  Selection("C:\\src", "C:\\out", "Shop");
  Render([](host::MemoryRequest& request) { request.AddFormField("PageNumber", "1"); });
  EXPECT_EQ(session_->Stored("sourcedir"), "");
  EXPECT_EQ(session_->Stored("targetdir"), "");
  EXPECT_EQ(session_->Stored("dllname"), "");
}

TEST_F(WizardPagesTest, OtherPageNumbersWriteNothingAndKeepTheSession) {
  Selection("C:\\src", "C:\\out", "Shop");
  for (const char* page_number : {"3", " 1", "01", "x", "1 ", "2 "}) {
    const std::string body = Render([&](host::MemoryRequest& request) {
      request.AddFormField("PageNumber", page_number);
      request.AddFormField("sourcedir", "C:\\other");
    });
    EXPECT_EQ(body, "") << "PageNumber \"" << page_number << "\"";
    EXPECT_EQ(session_->Stored("sourcedir"), "C:\\src");
  }
}

// A value holding a double quote would end the attribute early, and a crafted one would run
// script in the wizard's page: values go into the page escaped.
TEST_F(WizardPagesTest, ValuesAreEscapedInTheFormPages) {
  files_->AddFile("C:\\a&b\\x\"<y>.asp", "");
  const std::string selection = Selection("C:\\a&b", "\"><script>alert(1)</script>", "<b>");
  EXPECT_EQ(
      selection,
      SelectionPage("C:\\a&amp;b", "&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;", "&lt;b&gt;",
                    "<option value=\"x&quot;&lt;y&gt;.asp\">x&quot;&lt;y&gt;.asp</option>\n"));
  // The session keeps the values as posted; only the page escapes them.
  EXPECT_EQ(session_->Stored("targetdir"), "\"><script>alert(1)</script>");
  EXPECT_EQ(
      Render([](host::MemoryRequest&) {}),
      EntryPage("C:\\a&amp;b", "&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;", "&lt;b&gt;"));
}

TEST_F(WizardPagesTest, GetFilesOffersIncludeFilesForAnotherPattern) {
  files_->AddFile("C:\\site\\header.inc", "");
  files_->AddFile("C:\\site\\Footer.INC", "");
  files_->AddFile("C:\\site\\page.asp", "");
  auto context = std::make_shared<host::MemoryContext>();
  Morvane component(Services{&env_, nullptr, nullptr});
  ASSERT_TRUE(component.OnStartPage(context).ok());
  context->request().AddFormField("PageNumber", "none");
  ASSERT_TRUE(component.morvane().ok());
  std::string pattern = "C:\\site\\*.inc";
  ASSERT_TRUE(component.GetFiles(pattern).ok());
  EXPECT_EQ(pattern, "C:\\site\\*.inc");
  EXPECT_EQ(context->response().body(), Crlf("<option value=\"Footer.INC\">Footer.INC</option>\n"
                                             "<option value=\"header.inc\">header.inc</option>\n"));
}

TEST_F(WizardPagesTest, AFailingWriteEndsThePageWithThatFailure) {
  auto context = std::make_shared<host::MemoryContext>(session_);
  context->response().FailFromWrite(30);
  Morvane component(Services{&env_, nullptr, nullptr});
  ASSERT_TRUE(component.OnStartPage(context).ok());
  EXPECT_FALSE(component.morvane().ok());
  // 29 lines went out; the 30th write failed and nothing was tried after it.
  const std::string page = EntryPage("", "", "");
  size_t end = 0;
  for (int line = 0; line < 29; ++line) end = page.find('\n', end) + 1;
  EXPECT_EQ(context->response().body(), page.substr(0, end));
  EXPECT_EQ(context->response().write_count(), 30);
}

TEST_F(WizardPagesTest, AFailingRequestReadWritesNothing) {
  auto context = std::make_shared<host::MemoryContext>(session_);
  Morvane component(Services{&env_, nullptr, nullptr});
  context->request().FailItem("PageNumber");
  ASSERT_TRUE(component.OnStartPage(context).ok());
  EXPECT_FALSE(component.morvane().ok());
  EXPECT_EQ(context->response().body(), "");
}

}  // namespace
}  // namespace vorlintex
