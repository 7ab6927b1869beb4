#include "generator/build_script.h"

#include "contract/join.h"

namespace vorlintex::generator {

namespace {

// The value and its NUL must fit a buffer of this many characters.
constexpr size_t kValueBufferSize = 255;
constexpr std::string_view kCompilerName = "vb6.exe";

}  // namespace

std::string CompilerPathFrom(const std::optional<std::string>& value) {
  if (!value || value->size() >= kValueBufferSize) return "";
  size_t found = value->find(kCompilerName);
  if (found == std::string::npos) return *value;
  return value->substr(0, found + kCompilerName.size() + 1);
}

std::string FindCompilerPath(Env& env) {
  return CompilerPathFrom(env.ClassesRootDefaultValue(kCompilerCommandKey));
}

void WriteBuildScript(OutputFile& script, const std::string& compiler_path,
                      const std::string& target_dir, const std::string& dll_name) {
  if (!compiler_path.empty()) {
    script.WriteLine(Join({"\"", compiler_path, "\" ", target_dir, "\\", dll_name, ".vbp /m"}));
  } else {
    script.WriteLine(Join({"vb6 ", target_dir, "\\", dll_name, ".vbp /m"}));
  }
  script.Close();
}

}  // namespace vorlintex::generator
