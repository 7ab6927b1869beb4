// A site run: the pages of a tree of folders in one project, each class named by its page's
// path, each replacement page at its page's path under the target, and include files looked
// for from the page's own folder, up to the source folder and never above it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/generation_run_test_texts.h"
#include "generator/include_files.h"
#include "generator/selectable_pages.h"

namespace vorlintex::generator {
namespace {

using Lines = std::vector<std::string>;

struct SiteRun {
  RunSummary summary;
  Lines pages;
  size_t folders = 0;
  Lines written;  // the files under the target
  testing::MemoryRun run;
};

void RunSite(RuleSet rules, SiteRun& site) {
  auto& files = *site.run.files;
  files.AddFile("C:\\site\\Default.asp", "<p>home</p>\r\n");
  files.AddFile("C:\\site\\inc\\menu.inc", "<% Sub Menu() %>\r\n<a>menu</a>\r\n<% End Sub %>\r\n");
  files.AddFile("C:\\site\\Admin\\Default.asp",
                "<!-- #include file=\"../inc/menu.inc\" -->\r\n<% Menu %>\r\n");
  files.AddFile("C:\\site\\Admin\\x_default.asp", "<p>x</p>\r\n");
  files.AddFile("C:\\site\\Admin\\Sub\\deep.asp",
                "<!-- #include file=\"../../../secret.inc\" -->\r\n<p>deep</p>\r\n");
  files.AddFile("C:\\secret.inc", "<% Sub Secret() %>\r\n<% End Sub %>\r\n");
  files.AddFile("C:\\site\\admin_x\\default.asp", "<p>same class</p>\r\n");
  files.AddFile("C:\\site\\.git\\hidden.asp", "<p>not a page</p>\r\n");
  ASSERT_TRUE(SitePages(site.run.env, "C:\\site", &site.pages, &site.folders).ok());
  RunInput input{"C:\\site", "C:\\out", "Site", site.pages};
  input.subfolders = true;
  Services services{&site.run.faults, &site.run.turns};
  services.rules = rules;
  site.summary = RunGeneration(input, services);
  for (const std::string& path : files.AllFiles()) {
    if (path.starts_with("C:\\out\\")) site.written.push_back(path.substr(7));
  }
}

TEST(SiteRunTest, ATreeOfFoldersIsOneProjectMirroredInTheTarget) {
  for (RuleSet rules : {RuleSet::kClassic, RuleSet::kCompilable}) {
    SCOPED_TRACE(rules == RuleSet::kClassic ? "classic" : "compilable");
    SiteRun site;
    RunSite(rules, site);
    EXPECT_EQ(site.pages, (Lines{"Default.asp", "Admin\\Default.asp", "Admin\\x_default.asp",
                                 "Admin\\Sub\\deep.asp", "admin_x\\default.asp"}));
    EXPECT_EQ(site.folders, 5u);
    EXPECT_EQ(site.summary.end, RunEnd::kDone);
    // admin_x\default.asp is named admin_x_default too: the second page of a name is skipped.
    EXPECT_EQ(site.written,
              (Lines{"Admin\\default.asp", "Admin\\Sub\\deep.asp", "Admin\\x_default.asp",
                     "admin_default.cls", "admin_default.vbw", "admin_sub_deep.cls",
                     "admin_sub_deep.vbw", "admin_x_default.cls", "admin_x_default.vbw",
                     "default.asp", "default.cls", "default.vbw", "Site.bat", "Site.vbp"}));
    EXPECT_EQ(site.summary.pages_converted, 4u);
    const std::string project = site.run.File("C:\\out\\Site.vbp");
    for (const char* line :
         {"Class=default; default.cls\r\n", "Class=admin_default; admin_default.cls\r\n",
          "Class=admin_x_default; admin_x_default.cls\r\n",
          "Class=admin_sub_deep; admin_sub_deep.cls\r\n"}) {
      EXPECT_NE(project.find(line), std::string::npos) << line << project;
    }
    EXPECT_EQ(site.run.File("C:\\out\\Admin\\x_default.asp"),
              testing::ReplacementPage("admin_x_default", "Site"));
    // The include one folder up was read from the page's own folder.
    EXPECT_NE(site.run.File("C:\\out\\admin_default.cls").find("menu"), std::string::npos);
    const bool compilable = rules == RuleSet::kCompilable;
    // The compilable rules read nothing above the source folder; the classic rules read
    // include paths as the page names them.
    EXPECT_EQ(site.run.File("C:\\out\\admin_sub_deep.cls").find("Secret") == std::string::npos,
              compilable);
    std::vector<std::string> failures;
    for (const Failure& failure : site.summary.failures) {
      failures.push_back(failure.path + ": " + failure.reason);
    }
    Lines expected;
    if (compilable) {
      expected.push_back(
          "C:\\site\\Admin\\Sub\\..\\..\\..\\secret.inc: the include path climbs "
          "out of the source folder and the site root; it was not read");
    }
    expected.push_back(
        "C:\\out\\admin_x_default.cls: another page of that name came first in "
        "this run");
    EXPECT_EQ(failures, expected);
  }
}

// A page that another page includes is an include file, however its directive names it; a
// page naming itself, a file that is not one of the pages, a path climbing above the source
// folder and a directive without a name make none. A site of many pages is read on two
// threads, the pages in turn: the answer is the same.
TEST(SiteRunTest, TheFilesOtherPagesIncludeAreIncludeFiles) {
  for (const int padding : {0, 100}) {
    testing::MemoryRun run;
    const std::pair<const char*, const char*> site[] = {
        {"default.asp", "<p><!-- #include file=\"Menu.ASP\" --></p>\r\n<!-- #include -->\r\n"},
        {"menu.asp", "<!-- #include virtual=\"/parts/foot.asp\" -->\r\n"},
        {"parts\\foot.asp", "<!-- #include file=\"./../parts/side.asp\" -->\r\n"},
        {"parts\\side.asp", "<!-- #include file=\"side.asp\" -->\r\n"},
        {"admin\\index.asp", "<!--#include file=\"../inc/none.asp\"-->\r\n"},
        {"admin\\up.asp", "<!-- #include file=\"../../admin/up.asp\" -->\r\n"}};
    Lines pages;
    for (const auto& [page, text] : site) {
      run.files->AddFile(std::string("C:\\site\\") + page, text);
      pages.push_back(page);
    }
    for (int i = 0; i < padding; ++i) {
      pages.push_back("pad" + std::to_string(i) + ".asp");
      run.files->AddFile("C:\\site\\" + pages.back(), "<p>pad</p>\r\n");
    }
    EXPECT_EQ(IncludedPages(run.env, "C:\\site", pages),
              (Lines{"menu.asp", "parts\\foot.asp", "parts\\side.asp"}))
        << padding;
  }
}

}  // namespace
}  // namespace vorlintex::generator
