// A JScript server script block made of functions only, run by a script control the class
// module creates: each function becomes a procedure of the module that calls the control's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::compilable {

// True for a script block's language that names JScript ("JScript", "JavaScript1.2").
bool IsJScript(std::string_view language);

struct JScriptFunction {
  std::string name;                 // as written
  std::vector<std::string> params;  // as written
};

// The functions of a JScript block whose top level holds nothing but function declarations
// (and comments and ";"), in order; nothing when anything else stands there, or a function's
// name or parameter is no Visual Basic name.
std::optional<std::vector<JScriptFunction>> JScriptFunctions(std::string_view code);

// The names of the module's script control and of the function that makes it.
inline constexpr std::string_view kJScriptControl = "ServerJScriptControl";
inline constexpr std::string_view kJScriptHost = "ServerJScript";

// The procedure of the class module that calls `function` in the script control.
std::vector<std::string> JScriptCaller(const JScriptFunction& function);

// The private function that makes the script control once, gives it the host objects the
// code names and the JScript code, and returns it.
std::vector<std::string> JScriptHost(std::string_view code);

}  // namespace vorlintex::compilable
