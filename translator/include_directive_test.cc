#include "translator/include_directive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::PageStore;

struct DirectiveCase {
  const char* line;
  bool is_directive;
  std::optional<std::string> file_name;
};

TEST(IncludeDirective, TestAndFileName) {
  const DirectiveCase cases[] = {
      {"<!-- #include file=\"a.inc\" -->", true, "a.inc"},
      {"<!-- #INCLUDE Virtual=\"/Inc/Menu.INC\" -->", true, "/Inc/Menu.INC"},
      {"x = \"#Include\" & \"<!\"", true, "#Include"},
      {"#include <!", true, std::nullopt},
      {"<!-- #include file=\"a.inc -->", true, std::nullopt},
      {"<!-- include file=\"a.inc\" -->", false, "a.inc"},
      {"#include file=\"a.inc\"", false, "a.inc"},
      {"<!--#include file=\"\"-->", true, ""},
      {"\"a\tb\" \"c\"", false, "a\tb"},
  };
  for (const DirectiveCase& c : cases) {
    EXPECT_EQ(IsIncludeDirective(c.line), c.is_directive) << c.line;
    std::optional<std::string_view> name = IncludeFileName(c.line);
    EXPECT_EQ(name.has_value(), c.file_name.has_value()) << c.line;
    if (name && c.file_name) {
      EXPECT_EQ(*name, *c.file_name) << c.line;
    }
  }
}

TEST(IncludeDirective, PathJoinsDirectoryAsPosted) {
  EXPECT_EQ(IncludePath("C:\\site", "a.inc"), "C:\\site\\a.inc");
  EXPECT_EQ(IncludePath("C:\\site\\", "a.inc"), "C:\\site\\\\a.inc");
  EXPECT_EQ(IncludePath("C:\\site", "/inc/a.inc"), "C:\\site\\/inc/a.inc");
}

TEST(IncludeEdgeCases, DirectiveInCapitalsIsReadInBothPasses) {
  PageStore store;
  store.AddSourceFile("lib.inc", CrLfLines({"<p>in</p>", "<% Sub A() %>", "<% End Sub %>"}));
  store.AddSourceFile("caps.asp", CrLfLines({"<!-- #INCLUDE FILE=\"LIB.Inc\" -->", "<p>x</p>"}));
  TranslationResult result = store.Translate("caps");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("caps"),
            ExpectedModule("caps", CrLfLines({"<% Sub A() %>", "<% End Sub %>"}), "",
                           CrLfLines({"Response.Write (\"<p>in</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>x</p>\" & vbCrlf)"})));
}

TEST(IncludeEdgeCases, MissingFileNamedInCapitalsKeepsItsCase) {
  PageStore store;
  store.AddSourceFile("caps.asp", CrLfLines({"<!-- #Include File=\"Nope.INC\" -->"}));
  TranslationResult result = store.Translate("caps");
  ASSERT_TRUE(result.missing_include.has_value());
  EXPECT_EQ(*result.missing_include, "C:\\site\\Nope.INC");
}

TEST(IncludeEdgeCases, VirtualNameWithLeadingSlashIsAppendedUnchanged) {
  PageStore store;
  store.AddSourceFile("v.asp", CrLfLines({"<!--#include virtual=\"/inc/menu.inc\"-->"}));
  TranslationResult result = store.Translate("v");
  ASSERT_TRUE(result.missing_include.has_value());
  EXPECT_EQ(*result.missing_include, "C:\\site\\/inc/menu.inc");

  // Under Windows name rules that path names the file inc\menu.inc of the source directory.
  store.AddSourceFile("inc\\menu.inc", CrLfLines({"<p>menu</p>"}));
  result = store.Translate("v");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("v"),
            ExpectedModule("v", "", "", CrLfLines({"Response.Write (\"<p>menu</p>\" & vbCrlf)"})));
}

TEST(IncludeEdgeCases, FewerThanTwoQuotesDroppedByGlobalsTranslatedByBody) {
  PageStore store;
  store.AddSourceFile("q.asp", CrLfLines({"<% Sub A()", "<!-- #include file=\"x.inc -->",
                                          "<!-- #include -->", "End Sub"}));
  TranslationResult result = store.Translate("q");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("q"),
            ExpectedModule("q", CrLfLines({"<% Sub A()", "End Sub"}), "",
                           CrLfLines({
                               "Response.Write (\"<!-- #include file=\"\"x.inc -->\" & vbCrlf)",
                               "Response.Write (\"<!-- #include -->\" & vbCrlf)",
                               "Response.Write (\"End Sub\" & vbCrlf)",
                           })));
}

TEST(IncludeEdgeCases, DirectiveInsideIncludeFileIsNotFollowed) {
  PageStore store;
  // b.inc does not exist: following the inner directive would end the run.
  store.AddSourceFile("a.inc", CrLfLines({"<p>a</p>", "<!-- #include file=\"b.inc\" -->"}));
  store.AddSourceFile("n.asp", CrLfLines({"<!-- #include file=\"a.inc\" -->"}));
  TranslationResult result = store.Translate("n");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("n"),
            ExpectedModule("n", "", "",
                           CrLfLines({
                               "Response.Write (\"<p>a</p>\" & vbCrlf)",
                               "Response.Write (\"<!-- #include file=\"\"b.inc\"\" -->\" & vbCrlf)",
                           })));
}

TEST(IncludeEdgeCases, IncludeNamedTwiceIsReadTwiceByEachPass) {
  PageStore store;
  store.AddSourceFile("t.inc", CrLfLines({"<p>t</p>", "Sub T() : End Sub"}));
  store.AddSourceFile(
      "twice.asp", CrLfLines({"<!--#include file=\"t.inc\"-->", "<!--#include file=\"t.inc\"-->"}));
  EXPECT_FALSE(store.Translate("twice").missing_include.has_value());
  EXPECT_EQ(store.ModuleText("twice"),
            ExpectedModule("twice", CrLfLines({"Sub T() : End Sub", "Sub T() : End Sub"}), "",
                           CrLfLines({"Response.Write (\"<p>t</p>\" & vbCrlf)",
                                      "Response.Write (\"<p>t</p>\" & vbCrlf)"})));
}

}  // namespace
}  // namespace vorlintex::translator
