#include "translator/script_block_pass.h"

#include <string>

#include "translator/line_forms.h"
#include "translator/line_reader.h"

namespace vorlintex::translator {

void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, ModuleWriter& module) {
  int block_flag = 0;  // 1 while the lines read lie inside a server-side script block
  std::string line;
  std::string test_copy;
  while (ReadNextLine(page, &line, failures)) {
    NormaliseLine(&line);
    if (line.empty()) continue;
    FormTestCopy(line, &test_copy);
    bool opening_tag = Contains(test_copy, "runat");
    if (opening_tag && block_flag == 0) block_flag = 1;
    if (block_flag == 0 || opening_tag) continue;
    if (Contains(test_copy, "</script>")) {
      block_flag = 0;
    } else {
      module.WriteLine(line);
    }
  }
}

}  // namespace vorlintex::translator
