// One source page, with its include files, into one class module.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"

namespace vorlintex::translator {

// What the generation run hands over for one page.
struct PageTranslation {
  std::string source_dir;                // as posted: include paths are built from it
  std::string source_path;               // the source page, reopened between the passes
  std::string base_name;                 // the class name and the page method name
  fs::TextFileService* files = nullptr;  // the run's file service object
  Env* env = nullptr;                    // makes a new file service object per include directive
  // The page stream, open for reading at the first line; null when the source page could not
  // be opened (it is then read as an empty page).
  std::unique_ptr<fs::TextStream> page;
  // New and empty; every produced line goes here, and its write failures are recorded there.
  OutputFile* class_module = nullptr;
  FailureLog* failures = nullptr;  // reads that failed and were skipped
};

struct TranslationResult {
  // Set when a missing include file ended the translation: the include path as built. The
  // class module then holds what was written up to that point, without "End Sub".
  std::optional<std::string> missing_include;
};

// Writes the whole class module. On return both the class module stream and the page stream
// are closed.
TranslationResult TranslatePage(PageTranslation& page);

}  // namespace vorlintex::translator
