#include "translator/globals_pass.h"

#include "translator/line_forms.h"
#include "translator/line_reader.h"

namespace vorlintex::translator {
namespace {

// The procedure rule over one normalised, non-empty line and its test copy. `copy_flag` is 1
// while the lines read belong to a procedure being copied.
void ApplyProcedureRule(const std::string& line, const std::string& test_copy, int& copy_flag,
                        ModuleWriter& module) {
  if (copy_flag == 0 && Contains(test_copy, "sub ")) copy_flag = 1;
  if (copy_flag == 1) {
    module.WriteLine(line);
    if (Contains(test_copy, "end sub")) copy_flag = 0;
  }
}

}  // namespace

std::optional<std::string> RunGlobalsPass(fs::TextStream* page, FailureLog* failures,
                                          const IncludeResolver& includes, ModuleWriter& module) {
  int copy_flag = 0;
  std::string line;
  std::string test_copy;
  std::string include_line;
  while (ReadNextLine(page, &line, failures)) {
    NormaliseLine(&line);
    if (line.empty()) continue;
    FormTestCopy(line, &test_copy);
    if (!IsIncludeDirective(line, test_copy)) {
      ApplyProcedureRule(line, test_copy, copy_flag, module);
      continue;
    }
    // A directive line is never copied, whether it is resolved or ignored.
    std::optional<std::string_view> file_name = IncludeFileName(line);
    if (!file_name) continue;
    IncludeFile include = includes.Open(*file_name);
    if (include.missing()) return include.path();
    copy_flag = 0;
    while (include.ReadLine(&include_line)) {
      NormaliseLine(&include_line);
      if (include_line.empty()) continue;
      FormTestCopy(include_line, &test_copy);
      ApplyProcedureRule(include_line, test_copy, copy_flag, module);
    }
  }
  return std::nullopt;
}

}  // namespace vorlintex::translator
