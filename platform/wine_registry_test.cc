#include "platform/wine_registry.h"

#include <optional>
#include <string>
#include <tuple>

#include "gtest/gtest.h"
#include "platform/file_service_test_harness.h"
#include "platform/posix_env.h"

namespace vorlintex {
namespace {

constexpr char kCommandKey[] = "VisualBasic.VBZFile\\shell\\open\\command";
constexpr char kCompilerCommand[] = "\"C:\\Program Files\\VB98\\vb6.exe\" \"%1\"";

// A system.reg as Wine writes it, CR LF line ends, the wanted key in another letter case
// between its parent and its subkey.
constexpr char kSystemReg[] =
    "WINE REGISTRY Version 2\r\n;; All keys relative to \\\\Machine\r\n\r\n"
    "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open] 1600000000\r\n"
    "#time=1d6a1b2c3d4e5f6\r\n@=\"&Open\"\r\n\r\n"
    "[SOFTWARE\\\\classes\\\\visualbasic.vbzfile\\\\Shell\\\\Open\\\\COMMAND] 1600000001\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\VB98\\\\vb6.exe\\\" \\\"%1\\\"\"\r\n"
    "\"Extra\"=\"not the default\"\r\n\r\n"
    "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open\\\\command\\\\ddeexec] 1\r\n"
    "@=\"wrong key\"\r\n";

// One file, many keys.
TEST(FindClassesRootDefaultValueTest, FindsEachKeysDefaultValue) {
  // The key, the lines after its key line (none for a key of kSystemReg), the value found.
  const std::tuple<std::string, const char*, std::optional<std::string>> cases[] = {
      {kCommandKey, nullptr, kCompilerCommand},
      {"VISUALBASIC.VBZFILE\\SHELL\\OPEN", nullptr, "&Open"},
      {"hex", R"(@="\x41\x0041b\xe9\x20acz\xg")", "AAb\xC3\xA9\xE2\x82\xACzxg"},
      {"surrogates", R"(@="\xd83d\xde00\xd83dz\xdc00\xd83d\x41")", "\xF0\x9F\x98\x80?z??A"},
      {"quotes, brackets, bytes", "  @=\"\\\"\\[\\]\\q\xC3\xA9\" ", "\"[]q\xC3\xA9"},
      {"named only", "\"Name\"=\"C:\\\\VB98\\\\VB6.EXE\"", std::nullopt},
      {"later wins", "@=\"first\"\n@=\"second\"", "second"},
      {"continued hex", "\"Blob\"=hex:5b,00,\\\n  @=\"inside\",\\\n  00\n@=\"x\"", "x"},
  };
  std::string text = kSystemReg;
  for (const auto& [key, lines, value] : cases) {
    if (lines) text += "[Software\\\\Classes\\\\" + key + "] 1\n" + lines + "\n";
  }
  for (const auto& [key, lines, value] : cases) {
    EXPECT_EQ(FindClassesRootDefaultValue(text, key), value) << key;
  }
}

// The prefix is WINEPREFIX, else HOME's .wine; a missing file, or a folder in its place, gives
// nothing.
TEST(WineClassesRootDefaultValueTest, ReadsTheSystemRegOfThePrefix) {
  fs::DiskHarness harness;
  harness.Put("home/.wine/system.reg", kSystemReg);
  harness.Put("odd/system.reg/x", "");
  fs::ScopedVariable prefix("WINEPREFIX", ""), home("HOME", harness.Native("home"));
  EXPECT_EQ(NewPosixEnv()->ClassesRootDefaultValue(kCommandKey), kCompilerCommand);
  for (const char* other : {"home", "odd"}) {
    prefix.Set(harness.Native(other));
    EXPECT_EQ(WineSystemRegistryPath(), harness.Native(other) + "/system.reg");
    EXPECT_EQ(NewPosixEnv()->ClassesRootDefaultValue(kCommandKey), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace vorlintex
