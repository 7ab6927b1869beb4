#include "translator/translate_page.h"

#include "contract/output_file.h"
#include "translator/body_pass.h"
#include "translator/class_module_layout.h"
#include "translator/globals_pass.h"
#include "translator/include_directive.h"
#include "translator/kept_page.h"
#include "translator/script_block_pass.h"

namespace vorlintex::translator {
namespace {

void RecordRead(PageTranslation& page, const Status& status) {
  if (page.failures != nullptr) page.failures->Record(Access::kRead, status);
}

void ClosePage(PageTranslation& page) {
  if (page.page == nullptr) return;
  // Only read from, so a failing close loses nothing; still the user hears of it.
  RecordRead(page, page.page->Close());
  page.page.reset();
}

// Closes the page stream and opens the source page again at its first line: its kept lines
// when the first pass kept it whole, otherwise the file. A page that cannot be opened is read
// as an empty page.
void ReopenPage(PageTranslation& page, const KeptPage& kept) {
  ClosePage(page);
  if (kept.whole()) {
    page.page = kept.Read();
    return;
  }
  if (page.files == nullptr) {
    RecordRead(page, Status::Error(page.source_path, "no file service object"));
    return;
  }
  Status opened = page.files->OpenTextFile(page.source_path, &page.page);
  if (!opened.ok()) {
    RecordRead(page, opened);
    page.page.reset();
  }
}

// A missing include file: the class module is cut short, and a module cut short must not
// replace a whole one that an earlier run wrote.
TranslationResult EndAtMissingInclude(PageTranslation& page, OutputFile& module,
                                      std::string include_path) {
  ClosePage(page);
  module.Abandon();
  return TranslationResult{std::move(include_path)};
}

}  // namespace

TranslationResult TranslatePage(PageTranslation& page) {
  OutputFile& module = *page.class_module;
  IncludeResolver includes(page.source_dir, page.env, page.failures, page.include_cache);
  if (page.pass_over_missing_includes) includes.PassOverMissing();
  if (page.page == nullptr) {
    RecordRead(page, Status::Error(page.source_path, "the source page could not be opened"));
  }

  KeptPage kept(page.largest_kept_page);
  page.page = kept.Keep(page.source_path, std::move(page.page));
  WriteHeaderBlock(module, page.base_name);
  if (std::optional<std::string> missing = RunGlobalsPass(
          page.page.get(), page.failures, includes, module, page.observer, page.source_path)) {
    return EndAtMissingInclude(page, module, std::move(*missing));
  }

  ReopenPage(page, kept);
  WriteStandardMethods(module);
  if (kept.whole()) {
    RunScriptBlockPass(kept.text(), kept.ends(), module, page.observer, page.source_path);
  } else {
    RunScriptBlockPass(page.page.get(), page.failures, module, page.observer, page.source_path);
  }

  ReopenPage(page, kept);
  WritePageMethodOpening(module, page.base_name);
  BodyPass body(includes, page.failures, module, page.observer, page.source_path);
  if (std::optional<std::string> missing = body.Run(page.page.get())) {
    return EndAtMissingInclude(page, module, std::move(*missing));
  }

  WritePageMethodClosing(module);
  if (!page.leave_class_module_open) module.Close();
  ClosePage(page);
  return TranslationResult{};
}

}  // namespace vorlintex::translator
