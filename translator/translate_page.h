// One source page, with its include files, into one class module.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"
#include "translator/include_cache.h"
#include "translator/kept_page.h"
#include "translator/translation_observer.h"

namespace vorlintex::translator {

// What the generation run hands over for one page.
struct PageTranslation {
  std::string source_dir;                // as posted: include paths are built from it
  std::string source_path;               // the source page, reopened between the passes
  std::string base_name;                 // the class name and the page method name
  fs::TextFileService* files = nullptr;  // the run's file service object
  Env* env = nullptr;                    // makes a new file service object per include directive
  // The include files the run has read whole so far, read from there again; may be null.
  IncludeCache* include_cache = nullptr;
  // A page of up to this many bytes of lines is read from its file once, by the first pass,
  // and the other passes read the lines it kept; a larger one is opened again for each.
  size_t largest_kept_page = KeptPage::kLargestPageBytes;
  // The page stream, open for reading at the first line; null when the source page could not
  // be opened (it is then read as an empty page).
  std::unique_ptr<fs::TextStream> page;
  // New and empty; every produced line goes here, and its write failures are recorded there.
  OutputFile* class_module = nullptr;
  // The class module is left open once whole, for the caller to close: a run closes it on
  // another thread while it translates the next page.
  bool leave_class_module_open = false;
  FailureLog* failures = nullptr;  // reads that failed and were skipped
  // Told what the passes do to lines that lose text; may be null.
  TranslationObserver* observer = nullptr;
  // A check rather than a run: a missing include file is reported to the observer and passed
  // over instead of ending the translation.
  bool pass_over_missing_includes = false;
};

struct TranslationResult {
  // Set when a missing include file ended the translation: the include path as built. The
  // class module is then abandoned (OutputFile::Abandon): its name keeps the file it had.
  std::optional<std::string> missing_include;
};

// Writes the whole class module. On return the page stream is closed, and the class module
// closed (or left open when asked to), or abandoned at a missing include file.
TranslationResult TranslatePage(PageTranslation& page);

}  // namespace vorlintex::translator
