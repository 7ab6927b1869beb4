#include "translator/globals_pass.h"

#include <algorithm>
#include <vector>

#include "translator/byte_search.h"
#include "translator/keyword_search.h"
#include "translator/line_reader.h"
#include "translator/line_rewrites.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kProcedureStart("sub ");
constexpr Keyword kProcedureEnd("end sub");

// True when the normalised form of `line` is empty: the line holds spaces only.
bool EmptyOnceNormalised(std::string_view line) { return SkipSpaces(line, 0) == line.size(); }

// The procedure rule over one line as read, not empty once normalised. The keywords are
// searched for in the line itself; only a line that is copied is normalised. `copy_flag` is 1
// while the lines read belong to a procedure being copied.
// Returns true when the line was copied.
bool ApplyProcedureRule(std::string& line, int& copy_flag, OutputFile& module) {
  if (copy_flag == 0 && !kProcedureStart.In(line)) return false;
  copy_flag = 1;
  NormaliseLine(&line);
  module.WriteLine(line);
  if (kProcedureEnd.In(line)) copy_flag = 0;
  return true;
}

}  // namespace

std::optional<std::string> RunGlobalsPass(fs::TextStream* page, FailureLog* failures,
                                          const IncludeResolver& includes, OutputFile& module,
                                          TranslationObserver* observer,
                                          std::string_view page_path) {
  int copy_flag = 0;
  std::string line;
  std::string include_line;
  int number = 0;
  std::string source;                         // the directive line as read, for the observer
  std::vector<std::string> copying_includes;  // include files that gave procedures
  while (ReadNextLine(page, &line, failures)) {
    ++number;
    if (EmptyOnceNormalised(line)) continue;
    if (!IsIncludeDirective(line)) {
      ApplyProcedureRule(line, copy_flag, module);
      continue;
    }
    // A directive line is never copied, whether it is resolved or ignored. Its include name is
    // taken from the normalised line, tabs turned into spaces.
    if (observer != nullptr) source = line;
    NormaliseLine(&line);
    std::optional<std::string_view> file_name = IncludeFileName(line);
    if (!file_name) continue;
    IncludeFile include = includes.Open(*file_name);
    if (include.missing()) {
      if (observer != nullptr) {
        observer->IncludeMissing(LineAt{page_path, number}, source, include.path());
      }
      if (includes.passes_over_missing()) continue;
      return include.path();
    }
    copy_flag = 0;
    bool copied = false;
    while (include.ReadLine(&include_line)) {
      if (EmptyOnceNormalised(include_line)) continue;
      copied |= ApplyProcedureRule(include_line, copy_flag, module);
    }
    if (observer != nullptr && copied) {
      if (std::find(copying_includes.begin(), copying_includes.end(), include.path()) !=
          copying_includes.end()) {
        observer->Noted(Loss::kDuplicateProcedure, LineAt{page_path, number}, source, "");
      } else {
        copying_includes.push_back(include.path());
      }
    }
  }
  return std::nullopt;
}

}  // namespace vorlintex::translator
