// File operations that fail while a page is translated: each is skipped, recorded, and the
// translation still comes to its end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "translator/translate_page.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::PageStore;

// A reading stream that gives `good_reads` lines, then fails every read, and never admits to
// being at its end: a reader that trusted AtEndOfStream alone would never stop.
class FailingReadStream : public fs::TextStream {
 public:
  FailingReadStream(std::unique_ptr<fs::TextStream> inner, int good_reads, std::string path)
      : inner_(std::move(inner)), good_reads_(good_reads), path_(std::move(path)) {}

  bool AtEndOfStream() override { return false; }
  Status ReadLine(std::string* line) override {
    if (good_reads_ > 0 && !inner_->AtEndOfStream()) {
      --good_reads_;
      return inner_->ReadLine(line);
    }
    return Status::Error(path_, "read error");
  }
  Status WriteLine(std::string_view text) override { return inner_->WriteLine(text); }
  Status Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<fs::TextStream> inner_;
  int good_reads_;
  std::string path_;
};

// A file service whose reading streams on one path fail after some lines.
class FailingReadService : public fs::TextFileService {
 public:
  FailingReadService(std::unique_ptr<fs::TextFileService> inner, std::string failing_path,
                     int good_reads)
      : inner_(std::move(inner)), failing_path_(std::move(failing_path)), good_reads_(good_reads) {}

  Status CreateFolder(const std::string& path) override { return inner_->CreateFolder(path); }
  Status CreateTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* s) override {
    return inner_->CreateTextFile(path, s);
  }
  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* s) override {
    Status status = inner_->OpenTextFile(path, s);
    if (status.ok() && path == failing_path_) {
      *s = std::make_unique<FailingReadStream>(std::move(*s), good_reads_, path);
    }
    return status;
  }
  bool FileExists(const std::string& path) override { return inner_->FileExists(path); }

 private:
  std::unique_ptr<fs::TextFileService> inner_;
  std::string failing_path_;
  int good_reads_;
};

class FailingReadEnv : public MemoryEnv {
 public:
  FailingReadEnv(PageStore& store, std::string failing_path, int good_reads)
      : MemoryEnv(store.store().shared_from_this()),
        failing_path_(std::move(failing_path)),
        good_reads_(good_reads) {}

  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override {
    Status status = MemoryEnv::NewFileService(service);
    if (status.ok()) {
      *service =
          std::make_unique<FailingReadService>(std::move(*service), failing_path_, good_reads_);
    }
    return status;
  }

 private:
  std::string failing_path_;
  int good_reads_;
};

void ExpectOneFailure(const FailureLog& log, Access access, const std::string& path,
                      const std::string& reason) {
  ASSERT_EQ(log.failures().size(), 1u);
  EXPECT_EQ(log.failures()[0].access, access);
  EXPECT_EQ(log.failures()[0].path, path);
  EXPECT_EQ(log.failures()[0].reason, reason);
}

const char kIncludePath[] = "C:\\site\\f.inc";

void AddPageWithInclude(PageStore& store) {
  store.AddSourceFile("f.inc", CrLfLines({"<p>1</p>", "<p>2</p>", "Sub F() : End Sub"}));
  store.AddSourceFile("p.asp",
                      CrLfLines({"<p>a</p>", "<!-- #include file=\"f.inc\" -->", "<p>b</p>"}));
}

TEST(TranslatePageFailures, IncludeThatFailsToOpenIsReadAsEmpty) {
  PageStore store;
  AddPageWithInclude(store);
  store.store().FailOn(fs::Operation::kOpen, kIncludePath);
  TranslationResult result = store.Translate("p");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("p"),
            ExpectedModule("p", "", "",
                           CrLfLines({"Response.Write (\"<p>a</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>b</p>\" & vbCrlf)"})));
  ExpectOneFailure(store.failures(), Access::kRead, kIncludePath, "injected failure");
}

TEST(TranslatePageFailures, IncludeThatFailsAtEveryReadIsReadAsEmpty) {
  PageStore store;
  AddPageWithInclude(store);
  store.store().FailOn(fs::Operation::kRead, kIncludePath);
  EXPECT_FALSE(store.Translate("p").missing_include.has_value());
  EXPECT_EQ(store.ModuleText("p"),
            ExpectedModule("p", "", "",
                           CrLfLines({"Response.Write (\"<p>a</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>b</p>\" & vbCrlf)"})));
  ExpectOneFailure(store.failures(), Access::kRead, kIncludePath, "injected failure");
}

TEST(TranslatePageFailures, IncludeEndsAtFailingReadEvenIfNeverAtEnd) {
  PageStore store;
  AddPageWithInclude(store);
  FailingReadEnv env(store, kIncludePath, 2);
  PageTranslation page = store.Prepare("p");
  page.env = &env;
  EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
  EXPECT_EQ(store.ModuleText("p"),
            ExpectedModule("p", "", "",
                           CrLfLines({"Response.Write (\"<p>a</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>1</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>2</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>b</p>\" & vbCrlf)"})));
  ExpectOneFailure(store.failures(), Access::kRead, kIncludePath, "read error");
}

TEST(TranslatePageFailures, NoFileServiceForIncludeReadsItAsEmpty) {
  PageStore store;
  AddPageWithInclude(store);
  store.env().FailNewFileService("out of memory");
  EXPECT_FALSE(store.Translate("p").missing_include.has_value());
  EXPECT_EQ(store.ModuleText("p"),
            ExpectedModule("p", "", "",
                           CrLfLines({"Response.Write (\"<p>a</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>b</p>\" & vbCrlf)"})));
  ExpectOneFailure(store.failures(), Access::kRead, kIncludePath, "out of memory");
}

const char kPagePath[] = "C:\\site\\s.asp";

void AddPageWithEveryPart(PageStore& store) {
  store.AddSourceFile("s.asp", CrLfLines({"<% Sub S() : End Sub %>", "<script runat=server>",
                                          "x = 1", "</script>", "<p>s</p>"}));
}

TEST(TranslatePageFailures, PageNotOpenedAtFirstGivesEmptyGlobalsPass) {
  PageStore store;
  AddPageWithEveryPart(store);
  PageTranslation page = store.Prepare("s");
  page.page.reset();
  EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
  EXPECT_EQ(store.ModuleText("s"),
            ExpectedModule("s", "", CrLfLines({"x = 1"}),
                           CrLfLines({"Response.Write (\"<script runat=server>\" & vbCrlf)",
                                      "Response.Write (\"x = 1\" & vbCrlf)",
                                      "Response.Write (\"</script>\" & vbCrlf)",
                                      "Response.Write (\"<p>s</p>\" & vbCrlf)"})));
  ASSERT_EQ(store.failures().failures().size(), 1u);
  EXPECT_EQ(store.failures().failures()[0].access, Access::kRead);
  EXPECT_EQ(store.failures().failures()[0].path, kPagePath);
}

TEST(TranslatePageFailures, PageNotReopenedGivesEmptyLaterPasses) {
  PageStore store;
  AddPageWithEveryPart(store);
  PageTranslation page = store.Prepare("s");
  store.store().FailOn(fs::Operation::kOpen, kPagePath);
  EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
  EXPECT_EQ(store.ModuleText("s"),
            ExpectedModule("s", CrLfLines({"<% Sub S() : End Sub %>"}), "", ""));
  ExpectOneFailure(store.failures(), Access::kRead, kPagePath, "injected failure");
}

TEST(TranslatePageFailures, PageFailingAtReadEndsEachPassThere) {
  PageStore store;
  AddPageWithEveryPart(store);
  FailingReadService files(store.store().NewService(), kPagePath, 2);
  PageTranslation page = store.Prepare("s");
  page.files = &files;
  ASSERT_EQ(files.OpenTextFile(kPagePath, &page.page).ok(), true);
  EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
  EXPECT_EQ(store.ModuleText("s"),
            ExpectedModule("s", CrLfLines({"<% Sub S() : End Sub %>"}), "",
                           CrLfLines({"Response.Write (\"<script runat=server>\" & vbCrlf)"})));
  ExpectOneFailure(store.failures(), Access::kRead, kPagePath, "read error");
}

TEST(TranslatePageFailures, FailedWritesAreRecordedOnceAndTranslationGoesOn) {
  PageStore store;
  AddPageWithEveryPart(store);
  store.store().FailOn(fs::Operation::kWrite, PageStore::ModulePath("s"));
  EXPECT_FALSE(store.Translate("s").missing_include.has_value());
  // A class module whose writes failed does not take its name.
  EXPECT_EQ(store.ModuleText("s"), "<no class module>");
  ExpectOneFailure(store.failures(), Access::kWrite, PageStore::ModulePath("s"),
                   "injected failure");
}

TEST(TranslatePageFailures, FailedCloseOfClassModuleIsRecorded) {
  PageStore store;
  AddPageWithEveryPart(store);
  store.store().FailOn(fs::Operation::kClose, PageStore::ModulePath("s"));
  EXPECT_FALSE(store.Translate("s").missing_include.has_value());
  ExpectOneFailure(store.failures(), Access::kWrite, PageStore::ModulePath("s"),
                   "injected failure");
}

}  // namespace
}  // namespace vorlintex::translator
