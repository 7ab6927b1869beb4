// File operations that fail while a page is translated: each is skipped, recorded once, and
// the translation still comes to its end.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "translator/translate_page.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::Lines;
using testing::PageStore;

const char kPagePath[] = "C:\\site\\s.asp";
const char kIncludePath[] = "C:\\site\\f.inc";
const std::string kModulePath = PageStore::ModulePath("s");

void AddPage(PageStore& store) {
  store.AddSourceFile("f.inc", CrLfLines({"<p>1</p>", "Sub F() : End Sub"}));
  store.AddSourceFile(
      "s.asp", CrLfLines({"<p>a</p>", "<% Sub S() : End Sub %>", "<script runat=server>", "x = 1",
                          "</script>", "<!-- #include file=\"f.inc\" -->", "<p>b</p>"}));
}

std::string Written(const std::string& html) {
  return "Response.Write (\"" + html + "\" & vbCrlf)";
}

void ExpectOneFailure(const FailureLog& log, Access access, const std::string& path,
                      const std::string& reason) {
  ASSERT_EQ(log.failures().size(), 1u);
  EXPECT_EQ(log.failures()[0].access, access);
  EXPECT_EQ(log.failures()[0].path, path);
  EXPECT_EQ(log.failures()[0].reason, reason);
}

struct FailureCase {
  std::function<void(PageStore&, PageTranslation&)> inject;  // after the run is prepared
  Lines procedures, script_blocks, body;
  Access access;
  std::string path, reason;
};

TEST(TranslatePageFailures, EachFailureSkippedAndRecorded) {
  const Lines without_include = {Written("<p>a</p>"), Written("<script runat=server>"),
                                 Written("x = 1"), Written("</script>"), Written("<p>b</p>")};
  const FailureCase cases[] = {
      // An include that cannot be read is read as empty.
      {[](PageStore& s, PageTranslation&) { s.store().FailOn(fs::Operation::kOpen, kIncludePath); },
       {"<% Sub S() : End Sub %>"},
       {"x = 1"},
       without_include,
       Access::kRead,
       kIncludePath,
       "injected failure"},
      {[](PageStore& s, PageTranslation&) { s.store().FailOn(fs::Operation::kRead, kIncludePath); },
       {"<% Sub S() : End Sub %>"},
       {"x = 1"},
       without_include,
       Access::kRead,
       kIncludePath,
       "injected failure"},
      {[](PageStore& s, PageTranslation&) { s.env().FailNewFileService("out of memory"); },
       {"<% Sub S() : End Sub %>"},
       {"x = 1"},
       without_include,
       Access::kRead,
       kIncludePath,
       "out of memory"},
      // A page not opened at first gives an empty globals pass, one not reopened empty later
      // passes.
      {[](PageStore&, PageTranslation& page) { page.page.reset(); },
       {},
       {"x = 1"},
       {Written("<p>a</p>"), Written("<script runat=server>"), Written("x = 1"),
        Written("</script>"), Written("<p>1</p>"), Written("<p>b</p>")},
       Access::kRead,
       kPagePath,
       "the source page could not be opened"},
      {[](PageStore& s, PageTranslation&) { s.store().FailOn(fs::Operation::kOpen, kPagePath); },
       {"<% Sub S() : End Sub %>", "Sub F() : End Sub"},
       {},
       {},
       Access::kRead,
       kPagePath,
       "injected failure"},
  };
  for (const FailureCase& c : cases) {
    PageStore store;
    AddPage(store);
    PageTranslation page = store.Prepare("s");
    c.inject(store, page);
    EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
    EXPECT_EQ(store.ModuleText("s"), ExpectedModule("s", CrLfLines(c.procedures),
                                                    CrLfLines(c.script_blocks), CrLfLines(c.body)));
    ExpectOneFailure(store.failures(), c.access, c.path, c.reason);
  }
}

// A class module whose writes or close failed does not take its name.
TEST(TranslatePageFailures, FailedWriteOrCloseOfClassModuleRecordedOnce) {
  for (fs::Operation operation : {fs::Operation::kWrite, fs::Operation::kClose}) {
    PageStore store;
    AddPage(store);
    store.store().FailOn(operation, kModulePath);
    EXPECT_FALSE(store.Translate("s").missing_include.has_value());
    EXPECT_EQ(store.ModuleText("s"), "<no class module>");
    ExpectOneFailure(store.failures(), Access::kWrite, kModulePath, "injected failure");
  }
}

// Gives `good_reads` lines, then fails every read, and never admits to being at its end: a
// reader that trusted AtEndOfStream alone would never stop.
class FailingReadStream : public fs::TextStream {
 public:
  FailingReadStream(std::unique_ptr<fs::TextStream> inner, int good_reads)
      : inner_(std::move(inner)), good_reads_(good_reads) {}
  bool AtEndOfStream() override { return false; }
  Status ReadLine(std::string* line) override {
    if (good_reads_-- > 0 && !inner_->AtEndOfStream()) return inner_->ReadLine(line);
    return Status::Error(kPagePath, "read error");
  }
  Status WriteLine(std::string_view text) override { return inner_->WriteLine(text); }
  Status Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<fs::TextStream> inner_;
  int good_reads_;
};

// Opens the page, each time, as a stream that fails after two lines.
class FailingPageService : public fs::TextFileService {
 public:
  explicit FailingPageService(std::unique_ptr<fs::TextFileService> inner)
      : inner_(std::move(inner)) {}
  Status CreateFolder(const std::string& path) override { return inner_->CreateFolder(path); }
  Status CreateTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* s) override {
    return inner_->CreateTextFile(path, s);
  }
  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* s) override {
    Status status = inner_->OpenTextFile(path, s);
    if (status.ok() && path == kPagePath)
      *s = std::make_unique<FailingReadStream>(std::move(*s), 2);
    return status;
  }
  bool FileExists(const std::string& path) override { return inner_->FileExists(path); }

 private:
  std::unique_ptr<fs::TextFileService> inner_;
};

TEST(TranslatePageFailures, PageFailingAtReadEndsEachPassThere) {
  PageStore store;
  AddPage(store);
  FailingPageService files(store.store().NewService());
  PageTranslation page = store.Prepare("s");
  page.files = &files;
  ASSERT_TRUE(files.OpenTextFile(kPagePath, &page.page).ok());
  EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
  EXPECT_EQ(store.ModuleText("s"), ExpectedModule("s", CrLfLines({"<% Sub S() : End Sub %>"}), "",
                                                  CrLfLines({Written("<p>a</p>")})));
  ExpectOneFailure(store.failures(), Access::kRead, kPagePath, "read error");
}

}  // namespace
}  // namespace vorlintex::translator
