#include "translator/script_block_pass.h"

#include <string>

#include "translator/byte_search.h"
#include "translator/keyword_search.h"
#include "translator/line_reader.h"
#include "translator/line_rewrites.h"
#include "translator/statement_shapes.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kBlockStart("runat");
constexpr Keyword kBlockEnd("</script>");
constexpr Keyword kLanguage("language");
constexpr Keyword kVbscript("vbscript");

}  // namespace

void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, OutputFile& module,
                        TranslationObserver* observer, std::string_view page_path) {
  int block_flag = 0;  // 1 while the lines read lie inside a server-side script block
  std::string line;
  int number = 0;
  while (ReadNextLine(page, &line, failures)) {
    ++number;
    // Skipped when empty once normalised; the keywords are searched for in the line itself,
    // and only a line that is copied is normalised.
    if (SkipSpaces(line, 0) == line.size()) continue;
    bool opening_tag = kBlockStart.In(line);
    if (opening_tag && block_flag == 0) {
      block_flag = 1;
      if (observer != nullptr && kLanguage.In(line) && !kVbscript.In(line)) {
        observer->Noted(Loss::kScriptNotVbscript, LineAt{page_path, number}, line, "");
      }
    }
    if (block_flag == 0 || opening_tag) continue;
    if (kBlockEnd.In(line)) {
      block_flag = 0;
    } else {
      if (observer != nullptr && StartsSub(line)) {
        std::string source = line;
        NormaliseLine(&line);
        observer->Noted(Loss::kDuplicateProcedure, LineAt{page_path, number}, source, line);
      } else {
        NormaliseLine(&line);
      }
      module.WriteLine(line);
    }
  }
}

bool MayHoldScriptBlock(std::string_view text) { return kBlockStart.In(text); }

}  // namespace vorlintex::translator
