// Whole pages, with their include files, translated into whole class modules, also when file
// operations fail.
#include "translator/translate_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::Lines;
using testing::PageStore;

struct PageCase {
  std::string base_name;
  Lines page;
  std::vector<std::pair<std::string, Lines>> includes;
  Lines procedures;
  Lines script_blocks;
  Lines body;
};

const PageCase kPages[] = {
    // An empty page gives the fixed lines only, its base name written unchanged.
    {"2nd-page x", {}, {}, {}, {}, {}},
    {"orders",
     {"<%@ LANGUAGE=\"VBSCRIPT\" %>", "<!-- #include file=\"lib.inc\" -->",
      "<script language=\"VBScript\" runat=\"Server\">", "Function Total(a, b)", "\tTotal = a + b",
      "End Function", "</script>", "<%", "Sub ShowRow(name)", "    Response.Write name", "End Sub",
      "%>", "\t<a href=\"<%= link %>\" title=\"<%=Title(\"x\")%>\">Go</a>",
      "<% If Total(1, 2) = 3 Then ShowRow \"three\" %>"},
     {{"lib.inc",
       {"<%", "Sub Header()", "\tResponse.Write \"<h1>Hi</h1>\"", "End Sub", "%>", "<p>lib</p>"}}},
     {"Sub Header()", " Response.Write \"<h1>Hi</h1>\"", "End Sub", "Sub ShowRow(name)",
      "Response.Write name", "End Sub"},
     {"Function Total(a, b)", " Total = a + b", "End Function"},
     {"Response.Write (\"<%@ LANGUAGE=\"\"VBSCRIPT\"\" %>\" & vbCrlf)", "",
      "Response.Write (\"<script language=\"\"VBScript\"\" runat=\"\"Server\"\">\" & vbCrlf)",
      "Response.Write (\"Function Total(a, b)\" & vbCrlf)",
      "Response.Write (\" Total = a + b\" & vbCrlf)", "Response.Write (\"End Function\" & vbCrlf)",
      "Response.Write (\"</script>\" & vbCrlf)", "", "Response.Write name", "End Sub", "",
      "Response.Write (\" <a href=\"\"\" &  link  & \"\"\" title=\"\"\" & Title(\"x\") & "
      "\"\"\">Go</a>\" & vbCrlf)",
      " If Total(1, 2) = 3 Then ShowRow \"three\" "}},
};

TEST(TranslatePage, WholeClassModules) {
  for (const PageCase& c : kPages) {
    PageStore store;
    store.AddPage(c.base_name, c.page, c.includes);
    PageTranslation page = store.Prepare(c.base_name);
    EXPECT_FALSE(TranslatePage(page).missing_include.has_value()) << c.base_name;
    EXPECT_EQ(store.ModuleText(c.base_name),
              ExpectedModule(c.base_name, CrLfLines(c.procedures), CrLfLines(c.script_blocks),
                             CrLfLines(c.body)));
    EXPECT_TRUE(store.failures().empty()) << c.base_name;
  }
}

// File operations that fail while a page is translated: each is skipped, recorded once, and
// the translation still comes to its end.
const char kPagePath[] = "C:\\site\\s.asp";
const char kIncludePath[] = "C:\\site\\f.inc";
const std::string kModulePath = PageStore::ModulePath("s");

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
  Status Abandon() override { return inner_->Abandon(); }

 private:
  std::unique_ptr<fs::TextStream> inner_;
  int good_reads_ = 2;
};

Lines Written(const Lines& html) {
  Lines lines;
  for (const std::string& line : html)
    lines.push_back("Response.Write (\"" + line + "\" & vbCrlf)");
  return lines;
}

// An include that cannot be read is read as empty. A page not opened at first gives an empty
// globals pass, one too large to keep and not reopened empty later passes, and one that fails
// at a read ends the pass there. A class module whose writes failed does not take its name.
TEST(TranslatePageFailures, EachFailureSkippedAndRecordedOnce) {
  const Lines kSub = {"<% Sub S() : End Sub %>"}, kBlock = {"x = 1"};
  const Lines kBody =
      Written({"<p>a</p>", "<script runat=server>", "x = 1", "</script>", "<p>1</p>", "<p>b</p>"});
  const Lines kWithoutInclude =
      Written({"<p>a</p>", "<script runat=server>", "x = 1", "</script>", "<p>b</p>"});
  const Lines kNone, kBothSubs = {kSub[0], "Sub F() : End Sub"};
  const char* const kInjected = "injected failure";
  enum Also {
    kNothingElse,
    kNoFileService,
    kNoPageAtFirst,
    kPageFailingAtItsThirdLine,
    kPageNotKept
  };
  using enum FileOperation;
  const struct {
    std::optional<FileOperation> fail;                     // every such operation on `path`
    std::string path, reason;                              // of the one failure recorded
    Lines procedures = {}, script_blocks = {}, body = {};  // none when the module is lost
    Also also = kNothingElse;                              // a fault once the run is prepared
  } cases[] = {
      {kOpen, kIncludePath, kInjected, kSub, kBlock, kWithoutInclude},
      {kRead, kIncludePath, kInjected, kSub, kBlock, kWithoutInclude},
      {{}, kIncludePath, "out of memory", kSub, kBlock, kWithoutInclude, kNoFileService},
      {{}, kPagePath, "the source page could not be opened", kNone, kBlock, kBody, kNoPageAtFirst},
      {kOpen, kPagePath, kInjected, kBothSubs, kNone, kNone, kPageNotKept},
      {{}, kPagePath, "read error", kSub, kBlock, kBody, kPageFailingAtItsThirdLine},
      // A failed close of the module takes the same way, through the same output file.
      {kWrite, kModulePath, kInjected},
  };
  for (const auto& c : cases) {
    PageStore store;
    store.AddPage("s",
                  {"<p>a</p>", "<% Sub S() : End Sub %>", "<script runat=server>", "x = 1",
                   "</script>", "<!-- #include file=\"f.inc\" -->", "<p>b</p>"},
                  {{"f.inc", {"<p>1</p>", "Sub F() : End Sub"}}});
    PageTranslation page = store.Prepare("s");
    if (c.fail) store.faults().FailOn(*c.fail, c.path);
    if (c.also == kNoFileService) store.faults().FailNewFileService("out of memory");
    if (c.also == kNoPageAtFirst) page.page.reset();
    if (c.also == kPageNotKept) page.largest_kept_page = 0;
    if (c.also == kPageFailingAtItsThirdLine) {
      page.page = std::make_unique<FailingReadStream>(std::move(page.page));
    }
    EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
    EXPECT_EQ(store.ModuleText("s"),
              c.path == kModulePath
                  ? "<no class module>"
                  : ExpectedModule("s", CrLfLines(c.procedures), CrLfLines(c.script_blocks),
                                   CrLfLines(c.body)));
    ASSERT_EQ(store.failures().failures().size(), 1u);
    const Failure& failure = store.failures().failures()[0];
    EXPECT_EQ(std::tie(failure.access, failure.path, failure.reason),
              std::tuple(c.path == kModulePath ? Access::kWrite : Access::kRead, c.path, c.reason));
  }
}

// A run reads each page from its file once for its three passes, and each include file once
// for all its pages: once they are read, opens of them would fail, and none is made.
TEST(TranslatePageReads, EachPageOnceAndEachIncludeFileOncePerRun) {
  using enum FileOperation;
  PageStore store;
  const Lines kPage = {"<p>a</p>", "<% Sub S() : End Sub %>", "<!-- #include file=\"f.inc\" -->",
                       "<p>b</p>"};
  store.AddPage("s", kPage, {{"f.inc", {"<p>1</p>", "Sub F() : End Sub"}}});
  store.AddPage("t", kPage, {});
  for (const char* name : {"s", "t"}) {
    PageTranslation page = store.Prepare(name);
    store.faults().FailOn(kOpen, page.source_path);
    EXPECT_FALSE(TranslatePage(page).missing_include.has_value());
    EXPECT_EQ(store.ModuleText(name),
              ExpectedModule(name, CrLfLines({"<% Sub S() : End Sub %>", "Sub F() : End Sub"}), {},
                             CrLfLines(Written({"<p>a</p>", "<p>1</p>", "<p>b</p>"}))));
    store.faults().FailOn(kOpen, kIncludePath);
  }
  EXPECT_TRUE(store.failures().empty());
}

}  // namespace
}  // namespace vorlintex::translator
