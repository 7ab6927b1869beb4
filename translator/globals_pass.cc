#include "translator/globals_pass.h"

#include "translator/line_forms.h"
#include "translator/line_reader.h"
#include "translator/line_search.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kProcedureStart("sub ");
constexpr Keyword kProcedureEnd("end sub");

// True when the normalised form of `line` is empty: the line holds spaces only.
bool EmptyOnceNormalised(std::string_view line) { return SkipSpaces(line, 0) == line.size(); }

// The procedure rule over one line as read, not empty once normalised. The keywords are
// searched for in the line itself; only a line that is copied is normalised. `copy_flag` is 1
// while the lines read belong to a procedure being copied.
void ApplyProcedureRule(std::string& line, int& copy_flag, OutputFile& module) {
  if (copy_flag == 0 && !kProcedureStart.In(line)) return;
  copy_flag = 1;
  NormaliseLine(&line);
  module.WriteLine(line);
  if (kProcedureEnd.In(line)) copy_flag = 0;
}

}  // namespace

std::optional<std::string> RunGlobalsPass(fs::TextStream* page, FailureLog* failures,
                                          const IncludeResolver& includes, OutputFile& module) {
  int copy_flag = 0;
  std::string line;
  std::string include_line;
  while (ReadNextLine(page, &line, failures)) {
    if (EmptyOnceNormalised(line)) continue;
    if (!IsIncludeDirective(line)) {
      ApplyProcedureRule(line, copy_flag, module);
      continue;
    }
    // A directive line is never copied, whether it is resolved or ignored. Its include name is
    // taken from the normalised line, tabs turned into spaces.
    NormaliseLine(&line);
    std::optional<std::string_view> file_name = IncludeFileName(line);
    if (!file_name) continue;
    IncludeFile include = includes.Open(*file_name);
    if (include.missing()) return include.path();
    copy_flag = 0;
    while (include.ReadLine(&include_line)) {
      if (EmptyOnceNormalised(include_line)) continue;
      ApplyProcedureRule(include_line, copy_flag, module);
    }
  }
  return std::nullopt;
}

}  // namespace vorlintex::translator
