// Shared by the translator tests: source pages and include files in an in-memory store, and
// the texts they are compared with.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "component/failure_log.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "translator/translate_page.h"

namespace vorlintex::translator::testing {

inline constexpr char kSourceDir[] = "C:\\site";
inline constexpr char kTargetDir[] = "C:\\out";

// Each line followed by CR LF, as WriteLine writes it.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

// A source directory in memory, and the run's file service object over it.
class PageStore {
 public:
  PageStore() : store_(fs::MemoryFileSystem::Create()), env_(store_) {
    store_->AddFolder(kSourceDir);
    store_->AddFolder(kTargetDir);
    files_ = store_->NewService();
  }

  fs::MemoryFileSystem& store() { return *store_; }
  MemoryEnv& env() { return env_; }
  fs::TextFileService& files() { return *files_; }
  FailureLog& failures() { return failures_; }

  // A file of the source directory, by its name.
  void AddSourceFile(const std::string& name, std::string contents) {
    store_->AddFile(SourcePath(name), std::move(contents));
  }
  static std::string SourcePath(const std::string& name) {
    return std::string(kSourceDir) + "\\" + name;
  }
  static std::string ModulePath(const std::string& base_name) {
    return std::string(kTargetDir) + "\\" + base_name + ".cls";
  }

  std::unique_ptr<fs::TextStream> OpenSource(const std::string& name) {
    std::unique_ptr<fs::TextStream> stream;
    (void)files_->OpenTextFile(SourcePath(name), &stream);
    return stream;
  }
  std::unique_ptr<fs::TextStream> CreateModule(const std::string& base_name) {
    std::unique_ptr<fs::TextStream> stream;
    (void)files_->CreateTextFile(ModulePath(base_name), &stream);
    return stream;
  }
  std::string ModuleText(const std::string& base_name) const {
    return store_->Contents(ModulePath(base_name)).value_or("<no class module>");
  }

  // Translates the source page `base_name`.asp as the generation run does.
  TranslationResult Translate(const std::string& base_name) {
    std::unique_ptr<fs::TextStream> module = CreateModule(base_name);
    PageTranslation page;
    page.source_dir = kSourceDir;
    page.source_path = SourcePath(base_name + ".asp");
    page.base_name = base_name;
    page.files = files_.get();
    page.env = &env_;
    page.page = OpenSource(base_name + ".asp");
    page.class_module = module.get();
    page.failures = &failures_;
    return TranslatePage(page);
  }

 private:
  std::shared_ptr<fs::MemoryFileSystem> store_;
  MemoryEnv env_;
  std::unique_ptr<fs::TextFileService> files_;
  FailureLog failures_;
};

}  // namespace vorlintex::translator::testing
