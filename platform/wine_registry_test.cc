#include "platform/wine_registry.h"

#include <optional>
#include <string>

#include "gtest/gtest.h"
#include "platform/file_service_test_harness.h"
#include "platform/posix_env.h"

namespace vorlintex {
namespace {

constexpr char kCommandKey[] = "VisualBasic.VBZFile\\shell\\open\\command";

// A system.reg as Wine writes it, CR LF line ends, with the wanted key in another letter case
// between two other keys.
constexpr char kSystemReg[] =
    "WINE REGISTRY Version 2\r\n"
    ";; All keys relative to \\\\Machine\r\n"
    "\r\n"
    "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open] 1600000000\r\n"
    "#time=1d6a1b2c3d4e5f6\r\n"
    "@=\"&Open\"\r\n"
    "\r\n"
    "[SOFTWARE\\\\classes\\\\visualbasic.vbzfile\\\\Shell\\\\Open\\\\COMMAND] 1600000001\r\n"
    "#time=1d6a1b2c3d4e5f7\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\VB98\\\\vb6.exe\\\" \\\"%1\\\"\"\r\n"
    "\"Extra\"=\"not the default\"\r\n"
    "\r\n"
    "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open\\\\command\\\\ddeexec] "
    "1600000002\r\n"
    "@=\"wrong key\"\r\n";

constexpr char kCompilerCommand[] = "\"C:\\Program Files\\VB98\\vb6.exe\" \"%1\"";

// Key names ignore ASCII case and undo their escapes; a key's subkeys and parents are other
// keys.
TEST(FindClassesRootDefaultValueTest, FindsTheKeyInAnyLetterCase) {
  const std::string odd =
      "[Software\\\\Classes\\\\Odd\\]\\x00e9] "
      "1\n@=\"odd\"\n[Software\\\\Classes\\\\Broken\\\n@=\"broken\"\n";
  const std::pair<std::string_view, std::optional<std::string>> cases[] = {
      {kCommandKey, kCompilerCommand},
      {"VISUALBASIC.VBZFILE\\SHELL\\OPEN", "&Open"},
      {"VisualBasic.VBZFile\\shell", std::nullopt},
      {"VisualBasic.VBZFile\\shell\\open\\", std::nullopt},
  };
  for (const auto& [key, value] : cases) {
    EXPECT_EQ(FindClassesRootDefaultValue(kSystemReg, key), value) << key;
  }
  EXPECT_EQ(FindClassesRootDefaultValue("", kCommandKey), std::nullopt);
  EXPECT_EQ(FindClassesRootDefaultValue(odd, "Odd]\xC3\xA9"), "odd");
  EXPECT_EQ(FindClassesRootDefaultValue(odd, "Broken"), std::nullopt);
}

TEST(FindClassesRootDefaultValueTest, EveryCutOfTheFileGivesNothingOrTheWholeValue) {
  const std::string text = kSystemReg;
  for (size_t length = 0; length <= text.size(); ++length) {
    const std::optional<std::string> value =
        FindClassesRootDefaultValue(std::string_view(text).substr(0, length), kCommandKey);
    if (value) {
      EXPECT_EQ(*value, kCompilerCommand) << "cut at " << length;
    }
  }
  EXPECT_EQ(FindClassesRootDefaultValue(text.substr(0, text.find("\"Extra\"")), kCommandKey),
            kCompilerCommand);
}

std::string WithCommandKey(const char* lines) {
  return std::string("WINE REGISTRY Version 2\n\n") +
         "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open\\\\command] 1600000000\n" +
         lines + "\n[Software\\\\Classes\\\\Next] 1600000001\n@=\"next\"\n";
}

TEST(FindClassesRootDefaultValueTest, DefaultValueTable) {
  const struct {
    const char* name;
    const char* lines;  // the lines of the command key after its key line
    std::optional<std::string> expected;
  } cases[] = {
      {"plain", "@=\"C:\\\\VB98\\\\VB6.EXE\"", "C:\\VB98\\VB6.EXE"},
      {"empty", "@=\"\"", ""},
      {"quote and backslash", R"(@="\"a\\b\"")", "\"a\\b\""},
      {"control escapes", R"(@="\a\b\t\n\v\f\r\e")", "\a\b\t\n\v\f\r\x1B"},
      {"octal", R"(@="\0\101\1010\7z")", std::string("\0AA0\x07z", 6)},
      {"hex up to four digits", R"(@="\x41\x0041b\xe9\x20acz")", "AAb\xC3\xA9\xE2\x82\xACz"},
      {"hex with no digit", R"(@="\xg")", "xg"},
      {"surrogate pair", R"(@="\xd83d\xde00")", "\xF0\x9F\x98\x80"},
      {"lone surrogates", R"(@="\xd83dz\xdc00\xd83d\x41")", "?z??A"},
      {"other escaped characters", R"(@="\[\]\q")", "[]q"},
      {"bytes kept as they are", "@=\"C:\\\\\xC3\xA9t\xE9\"", "C:\\\xC3\xA9t\xE9"},
      {"text after the closing quote", "@=\"value\" ", "value"},
      {"leading blanks", "  @=\"value\"", "value"},
      {"expandable string", R"(@=str(2):"%SystemRoot%\\vb6.exe")", std::nullopt},
      {"hex", "@=hex:43,00,3a,00", std::nullopt},
      {"no default value", "\"Name\"=\"C:\\\\VB98\\\\VB6.EXE\"", std::nullopt},
      {"unterminated", "@=\"C:\\\\VB98", std::nullopt},
      {"backslash at the end", "@=\"C:\\", std::nullopt},
      {"later default value wins", "@=\"first\"\n@=\"second\"", "second"},
      {"continued hex value",
       "\"Blob\"=hex:5b,00,\\\n  @=\"inside the hex value\",\\\n  00\n@=\"x\"", "x"},
      {"hex default continued", "@=hex(2):43,00,\\\n  3a,00", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindClassesRootDefaultValue(WithCommandKey(c.lines), kCommandKey), c.expected)
        << c.name;
  }
}

// The prefix is WINEPREFIX, else HOME's .wine; a missing file, or a folder in its place, gives
// nothing.
TEST(WineClassesRootDefaultValueTest, ReadsTheSystemRegOfThePrefix) {
  fs::DiskHarness harness;
  const std::string root = harness.Root();
  harness.Put("prefix/system.reg", kSystemReg);
  harness.Put("home/.wine/system.reg", kSystemReg);
  harness.Put("odd/system.reg/x", "");
  const struct {
    std::optional<std::string> prefix;
    std::optional<std::string> home;
    std::optional<std::string> path;
    bool found;
  } cases[] = {
      {root + "/prefix", root + "/home", root + "/prefix/system.reg", true},
      {std::nullopt, root + "/home", root + "/home/.wine/system.reg", true},
      {"", root + "/home", root + "/home/.wine/system.reg", true},
      {root + "/empty", root + "/home", root + "/empty/system.reg", false},
      {std::nullopt, root, root + "/.wine/system.reg", false},
      {std::nullopt, std::nullopt, std::nullopt, false},
      {root + "/odd", std::nullopt, root + "/odd/system.reg", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.value_or("no path"));
    fs::ScopedVariable prefix("WINEPREFIX", c.prefix), home("HOME", c.home);
    EXPECT_EQ(WineSystemRegistryPath(), c.path);
    const std::optional<std::string> value =
        c.found ? std::optional<std::string>(kCompilerCommand) : std::nullopt;
    EXPECT_EQ(WineClassesRootDefaultValue(kCommandKey), value);
    EXPECT_EQ(NewPosixEnv()->ClassesRootDefaultValue(kCommandKey), value);
  }
}

}  // namespace
}  // namespace vorlintex
