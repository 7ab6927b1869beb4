// The one-line build script that runs the Visual Basic 6 compiler on the generated project,
// and the registry lookup that finds the compiler.
#pragma once

#include <optional>
#include <string>

#include "contract/env.h"
#include "contract/output_file.h"

namespace vorlintex::generator {

// The registry key whose default value is the open command of a Visual Basic file.
inline constexpr char kCompilerCommandKey[] = "VisualBasic.VBZFile\\shell\\open\\command";

// The compiler path taken from the open command `value` (the registry text without its NUL):
// empty when there is none or it is 255 characters or longer (it would not fit the lookup's
// buffer); else cut one character after the first "vb6.exe" (exact case), so that a closing
// quote or a space after the program name stays; else the whole value.
std::string CompilerPathFrom(const std::optional<std::string>& value);

// The compiler path from the registry of `env`.
std::string FindCompilerPath(Env& env);

// The build line, then Close: the compiler path in double quotes when there is one, else
// "vb6"; then the project file's path and "/m". A failure is recorded by the file.
void WriteBuildScript(OutputFile& script, const std::string& compiler_path,
                      const std::string& target_dir, const std::string& dll_name);

}  // namespace vorlintex::generator
