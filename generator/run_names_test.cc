#include "generator/run_names.h"

#include <gtest/gtest.h>

namespace vorlintex::generator {
namespace {

TEST(DllNameTest, CutsBeforeTheFirstDllInAnyCaseAndKeepsTheRest) {
  struct Case {
    std::string posted;
    std::string dll_name;
  };
  const Case cases[] = {
      {"Shop", "Shop"},
      {"Shop.DLL", "Shop"},
      {"shop.dll.old", "shop"},
      {"Orders.dll", "Orders"},
      {"My.Dll", "My"},
      {".dll", ""},
      {"", ""},
      {"a.dllb.dll", "a"},
      {"Shop.dl", "Shop.dl"},
      {"\xC3\x84pfel.DLL", "\xC3\x84pfel"},
  };
  for (const Case& c : cases) EXPECT_EQ(DllName(c.posted), c.dll_name) << c.posted;
}

TEST(BaseNameTest, LowerCasesAsciiAndCutsBeforeTheFirstAsp) {
  struct Case {
    std::string selected;
    std::string base_name;
  };
  const Case cases[] = {
      {"a.asp", "a"},
      {"Default.ASP", "default"},
      {"page.asp.old", "page"},
      {"menu.inc", "menu.inc"},
      {"My-Page.Asp", "my-page"},
      {".asp", ""},
      {"x.aspx", "x"},
      {"\xC3\x84NDERN.ASP", "\xC3\x84ndern"},
  };
  for (const Case& c : cases) EXPECT_EQ(BaseName(c.selected), c.base_name) << c.selected;
}

TEST(PathInTest, JoinsWithOneBackslashAndKeepsTheDirectoryAsTyped) {
  EXPECT_EQ(PathIn("C:\\out", "a.cls"), "C:\\out\\a.cls");
  EXPECT_EQ(PathIn("C:\\out\\", "a.cls"), "C:\\out\\\\a.cls");
  EXPECT_EQ(PathIn(" C:/Out ", "A.vbw"), " C:/Out \\A.vbw");
}

}  // namespace
}  // namespace vorlintex::generator
