#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "contract/failure_log.h"
#include "contract/text_file_service.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "translator/translate_page.h"

namespace vorlintex::fuzz {
namespace {

constexpr char kSourceDir[] = "C:\\src";
constexpr char kPagePath[] = "C:\\src\\page.asp";
constexpr char kIncludePath[] = "C:\\src\\inc.inc";
constexpr char kClassModulePath[] = "C:\\out\\page.cls";
constexpr std::string_view kModuleStart =
    "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\n";
constexpr std::string_view kModuleEnd = "\r\nEnd Sub\r\n";

size_t CountLines(std::string_view text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

// Lines that may be include directives: those holding "<!".
size_t CountPossibleDirectives(std::string_view page) {
  size_t count = 0;
  for (size_t found = page.find("<!"); found != std::string_view::npos;
       found = page.find("<!", found + 2)) {
    ++count;
  }
  return count;
}

// A generous limit on the class module's size: each pass writes a bounded amount per line read
// (quotes doubled, a statement around each piece), the page is read three times, and the
// include file at most twice per directive.
size_t OutputLimit(std::string_view page, std::string_view include) {
  const size_t per_page_read = 8 * page.size() + 64 * CountLines(page);
  const size_t per_include_read = 8 * include.size() + 64 * CountLines(include);
  return 4096 + 3 * per_page_read + 2 * CountPossibleDirectives(page) * per_include_read;
}

}  // namespace

int TranslatePageInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find(std::string_view("\0\0\0", 3));
  const std::string_view page_text = input.substr(0, cut);
  const bool has_include = cut != std::string_view::npos;
  const std::string_view include_text = has_include ? input.substr(cut + 3) : std::string_view();

  auto store = fs::MemoryFileSystem::Create();
  store->AddFile(kPagePath, std::string(page_text));
  if (has_include) store->AddFile(kIncludePath, std::string(include_text));
  store->AddFolder("C:\\out");
  MemoryEnv env(store);
  std::unique_ptr<fs::TextFileService> files = store->NewService();
  FailureLog failures;

  translator::PageTranslation translation;
  translation.source_dir = kSourceDir;
  translation.source_path = kPagePath;
  translation.base_name = "page";
  translation.files = files.get();
  translation.env = &env;
  translation.failures = &failures;
  FUZZ_CHECK(files->OpenTextFile(kPagePath, &translation.page).ok());
  OutputFile class_module(*files, kClassModulePath, &failures);
  translation.class_module = &class_module;

  const translator::TranslationResult result = translator::TranslatePage(translation);

  // Both streams are closed: the page stream released, the class module taking no more lines.
  FUZZ_CHECK(translation.page == nullptr);
  FUZZ_CHECK(class_module.closed() != result.missing_include.has_value());
  // Nothing failed on a store that fails nothing, and no input file was changed.
  FUZZ_CHECK(failures.empty());
  FUZZ_CHECK(store->Contents(kPagePath) == std::string(page_text));
  if (has_include) FUZZ_CHECK(store->Contents(kIncludePath) == std::string(include_text));

  // A module cut short by a missing include file does not take its name.
  const std::optional<std::string> module = store->Contents(kClassModulePath);
  FUZZ_CHECK(module.has_value() != result.missing_include.has_value());
  if (result.missing_include) {
    // Only a directive of the page can name a missing file, and only a file of the source
    // folder.
    FUZZ_CHECK(page_text.find("<!") != std::string_view::npos);
    FUZZ_CHECK(result.missing_include->starts_with("C:\\src\\"));
    FUZZ_CHECK(!files->FileExists(*result.missing_include));
  } else {
    FUZZ_CHECK(module->starts_with(kModuleStart));
    FUZZ_CHECK(module->size() <= OutputLimit(page_text, include_text));
    FUZZ_CHECK(module->ends_with(kModuleEnd));
  }
  return 0;
}

}  // namespace vorlintex::fuzz
