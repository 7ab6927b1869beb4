#include "translator/script_block_pass.h"

#include <algorithm>
#include <string>
#include <vector>

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

// The pass, one line at a time.
class ScriptBlocks {
 public:
  ScriptBlocks(OutputFile& module, TranslationObserver* observer, std::string_view page_path)
      : module_(module), observer_(observer), page_path_(page_path) {}

  bool in_block() const { return block_flag_ != 0; }

  // The line numbered `number` (from 1), which it may change.
  void Take(std::string& line, int number) {
    // Skipped when empty once normalised; the keywords are searched for in the line itself,
    // and only a line that is copied is normalised.
    if (SkipSpaces(line, 0) == line.size()) return;
    bool opening_tag = kBlockStart.In(line);
    if (opening_tag && block_flag_ == 0) {
      block_flag_ = 1;
      if (observer_ != nullptr && kLanguage.In(line) && !kVbscript.In(line)) {
        observer_->Noted(Loss::kScriptNotVbscript, LineAt{page_path_, number}, line, "");
      }
    }
    if (block_flag_ == 0 || opening_tag) return;
    if (kBlockEnd.In(line)) {
      block_flag_ = 0;
    } else {
      if (observer_ != nullptr && StartsSub(line)) {
        std::string source = line;
        NormaliseLine(&line);
        observer_->Noted(Loss::kDuplicateProcedure, LineAt{page_path_, number}, source, line);
      } else {
        NormaliseLine(&line);
      }
      module_.WriteLine(line);
    }
  }

 private:
  int block_flag_ = 0;  // 1 while the lines read lie inside a server-side script block
  OutputFile& module_;
  TranslationObserver* observer_;
  std::string_view page_path_;
};

}  // namespace

void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, OutputFile& module,
                        TranslationObserver* observer, std::string_view page_path) {
  ScriptBlocks blocks(module, observer, page_path);
  std::string line;
  int number = 0;
  while (ReadNextLine(page, &line, failures)) blocks.Take(line, ++number);
}

void RunScriptBlockPass(std::string_view text, const std::vector<size_t>& ends, OutputFile& module,
                        TranslationObserver* observer, std::string_view page_path) {
  ScriptBlocks blocks(module, observer, page_path);
  std::string line;
  size_t next = 0;  // the line to take next, from 0
  while (next < ends.size()) {
    size_t start = next == 0 ? 0 : ends[next - 1];
    if (!blocks.in_block()) {
      // Outside a block only a line holding "runat" does anything: the next one is found in
      // the text, and the lines before it are passed over unread.
      const size_t found = kBlockStart.FindIn(text, start);
      if (found == std::string_view::npos) return;
      next = std::upper_bound(ends.begin() + next, ends.end(), found) - ends.begin();
      if (next == ends.size()) return;
      start = next == 0 ? 0 : ends[next - 1];
      // A word found across the end of a line is in neither: Take passes over the line.
    }
    line.assign(text.substr(start, ends[next] - start));
    ++next;
    blocks.Take(line, static_cast<int>(next));
  }
}

}  // namespace vorlintex::translator
