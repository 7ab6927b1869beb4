#include "compilable/server_jscript.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex::compilable {
namespace {

// The functions read from a block, as "name(a,b) name2()", or "none" when the block is not
// functions only.
std::string Read(std::string_view code) {
  auto functions = JScriptFunctions(code);
  if (!functions) return "none";
  std::string out;
  for (const JScriptFunction& f : *functions) {
    if (!out.empty()) out += " ";
    out += f.name + "(";
    for (size_t i = 0; i < f.params.size(); ++i) out += (i ? "," : "") + f.params[i];
    out += ")";
  }
  return out;
}

TEST(ServerJScriptTest, OnlyBlocksOfFunctionsAreRead) {
  const struct {
    const char* code;
    const char* read;
  } cases[] = {
      {"\r\nfunction a(x, y) { return x + y; }\r\n// note\r\n/* more */ function b() {};",
       "a(x,y) b()"},
      // Braces in strings, comments and escapes do not end a body.
      {"function c(s) { var t = \"}\" + '}'; /* } */ // }\n return s.replace(/\\}/g, t); }",
       "c(s)"},
      {"function d() { if (1) { return 2; } }\nfunction e(z) {}", "d() e(z)"},
      {"var x = 1;", "none"},
      {"function f() {}\nf();", "none"},
      {"function g() { return 1;", "none"},  // never closed
      {"function select(a) {}", "none"},     // no Visual Basic name
      {"function h(string) {}", "none"},     // nor its parameter
      {"function i(a b) {}", "none"},
      {"", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.code), c.read) << c.code;
  EXPECT_TRUE(IsJScript("JavaScript1.2"));
  EXPECT_TRUE(IsJScript("JSCRIPT"));
  EXPECT_FALSE(IsJScript("VBScript"));
  EXPECT_FALSE(IsJScript("PerlScript"));
}

}  // namespace
}  // namespace vorlintex::compilable
