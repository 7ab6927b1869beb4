// File operations that fail while a page is translated: each is skipped, recorded once, and
// the translation still comes to its end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "translator/translate_page.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
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

void ExpectOneFailure(const FailureLog& log, Access access, const std::string& path,
                      const std::string& reason) {
  ASSERT_EQ(log.failures().size(), 1u);
  EXPECT_EQ(log.failures()[0].access, access);
  EXPECT_EQ(log.failures()[0].path, path);
  EXPECT_EQ(log.failures()[0].reason, reason);
}

// Gives two lines, then fails every read, and never admits to being at its end: a reader that
// trusted AtEndOfStream alone would never stop.
class FailingReadStream : public fs::TextStream {
 public:
  explicit FailingReadStream(std::unique_ptr<fs::TextStream> inner) : inner_(std::move(inner)) {}
  bool AtEndOfStream() override { return false; }
  Status ReadLine(std::string* line) override {
    if (good_reads_-- > 0) return inner_->ReadLine(line);
    return Status::Error(kPagePath, "read error");
  }
  Status WriteLine(std::string_view text) override { return inner_->WriteLine(text); }
  Status Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<fs::TextStream> inner_;
  int good_reads_ = 2;
};

enum class Fault { kIncludeOpen, kIncludeRead, kNoService, kPageNotOpen, kReopen, kPageRead };

void Inject(Fault fault, PageStore& store, PageTranslation& page) {
  switch (fault) {
    case Fault::kIncludeOpen:
      return store.store().FailOn(fs::Operation::kOpen, kIncludePath);
    case Fault::kIncludeRead:
      return store.store().FailOn(fs::Operation::kRead, kIncludePath);
    case Fault::kNoService:
      return store.env().FailNewFileService("out of memory");
    case Fault::kPageNotOpen:
      return page.page.reset();
    case Fault::kReopen:
      return store.store().FailOn(fs::Operation::kOpen, kPagePath);
    case Fault::kPageRead:
      page.page = std::make_unique<FailingReadStream>(std::move(page.page));
  }
}

Lines Written(const Lines& html) {
  Lines lines;
  for (const std::string& line : html)
    lines.push_back("Response.Write (\"" + line + "\" & vbCrlf)");
  return lines;
}

// An include that cannot be read is read as empty. A page not opened at first gives an empty
// globals pass, one not reopened empty later passes, and one that fails at a read ends the
// pass there.
TEST(TranslatePageFailures, EachFailedReadSkippedAndRecordedOnce) {
  const Lines kSub = {"<% Sub S() : End Sub %>"}, kBlock = {"x = 1"};
  const Lines kBody =
      Written({"<p>a</p>", "<script runat=server>", "x = 1", "</script>", "<p>1</p>", "<p>b</p>"});
  Lines without_include = kBody;
  without_include.erase(without_include.begin() + 4);
  const char* const kInjected = "injected failure";
  const struct {
    Fault fault;
    Lines procedures, script_blocks, body;
    std::string path, reason;
  } cases[] = {
      {Fault::kIncludeOpen, kSub, kBlock, without_include, kIncludePath, kInjected},
      {Fault::kIncludeRead, kSub, kBlock, without_include, kIncludePath, kInjected},
      {Fault::kNoService, kSub, kBlock, without_include, kIncludePath, "out of memory"},
      {Fault::kPageNotOpen, {}, kBlock, kBody, kPagePath, "the source page could not be opened"},
      {Fault::kReopen, {kSub[0], "Sub F() : End Sub"}, {}, {}, kPagePath, kInjected},
      {Fault::kPageRead, kSub, kBlock, kBody, kPagePath, "read error"},
  };
  for (const auto& c : cases) {
    PageStore store;
    AddPage(store);
    PageTranslation page = store.Prepare("s");
    Inject(c.fault, store, page);
    EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
    EXPECT_EQ(store.ModuleText("s"),
              testing::ExpectedModule("s", CrLfLines(c.procedures), CrLfLines(c.script_blocks),
                                      CrLfLines(c.body)));
    ExpectOneFailure(store.failures(), Access::kRead, c.path, c.reason);
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

}  // namespace
}  // namespace vorlintex::translator
