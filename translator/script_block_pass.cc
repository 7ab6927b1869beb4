#include "translator/script_block_pass.h"

#include <string>

#include "translator/line_forms.h"
#include "translator/line_reader.h"
#include "translator/line_search.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kBlockStart("runat");
constexpr Keyword kBlockEnd("</script>");

}  // namespace

void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, OutputFile& module) {
  int block_flag = 0;  // 1 while the lines read lie inside a server-side script block
  std::string line;
  while (ReadNextLine(page, &line, failures)) {
    // Skipped when empty once normalised; the keywords are searched for in the line itself,
    // and only a line that is copied is normalised.
    if (SkipSpaces(line, 0) == line.size()) continue;
    bool opening_tag = kBlockStart.In(line);
    if (opening_tag && block_flag == 0) block_flag = 1;
    if (block_flag == 0 || opening_tag) continue;
    if (kBlockEnd.In(line)) {
      block_flag = 0;
    } else {
      NormaliseLine(&line);
      module.WriteLine(line);
    }
  }
}

}  // namespace vorlintex::translator
