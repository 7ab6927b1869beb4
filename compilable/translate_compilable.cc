#include "compilable/translate_compilable.h"

#include <utility>

namespace vorlintex::compilable {
namespace {

class FileIncludes : public IncludeSource {
 public:
  FileIncludes(fs::TextFileService* files, FailureLog* failures)
      : files_(files), failures_(failures) {}

  std::optional<std::string> Read(const std::string& path) override {
    if (files_ == nullptr || !files_->FileExists(path)) return std::nullopt;
    std::unique_ptr<fs::TextStream> stream;
    if (Status opened = files_->OpenTextFile(path, &stream); !opened.ok()) {
      // There, but not readable: read as empty, and the user hears of it.
      if (failures_ != nullptr) failures_->Record(Access::kRead, opened);
      return std::string();
    }
    std::string text = ReadWholeText(*stream, path, failures_);
    if (Status closed = stream->Close(); !closed.ok() && failures_ != nullptr) {
      failures_->Record(Access::kRead, closed);
    }
    return text;
  }

  void Refuse(const std::string& path) override {
    if (failures_ == nullptr) return;
    failures_->Record(Access::kRead,
                      Status::InvalidArgument(path,
                                              "the include path climbs out of the source folder "
                                              "and the site root; it was not read"));
  }

 private:
  fs::TextFileService* files_;
  FailureLog* failures_;
};

}  // namespace

std::string ReadWholeText(fs::TextStream& stream, const std::string& path, FailureLog* failures) {
  std::string text;
  std::string line;
  while (!stream.AtEndOfStream()) {
    if (Status read = stream.ReadLine(&line); !read.ok()) {
      if (failures != nullptr) failures->Record(Access::kRead, read.WithPath(path));
      break;
    }
    text += line;
    switch (stream.LastLineEnd()) {
      case fs::LineEnd::kCrLf:
        text += "\r\n";
        break;
      case fs::LineEnd::kLf:
        text += '\n';
        break;
      case fs::LineEnd::kNone:
        break;
    }
  }
  return text;
}

CompilableResult TranslateCompilable(CompilablePage& page) {
  CompilableResult result;
  std::string text;
  if (page.page != nullptr) {
    text = ReadWholeText(*page.page, page.source_path, page.failures);
    if (Status closed = page.page->Close(); !closed.ok() && page.failures != nullptr) {
      page.failures->Record(Access::kRead, closed);
    }
    page.page.reset();
  }
  FileIncludes includes(page.files, page.failures);
  ModuleBuilder builder(page.class_name, page.site_root, includes, page.observer,
                        page.pass_over_missing_includes);
  if (!page.include_root.empty()) builder.KeepIncludesUnder(page.include_root);
  if (!builder.AddPage(page.source_path, text)) {
    result.missing_include = builder.missing_include();
    return result;
  }
  PageModule module = builder.Finish();
  result.class_name = std::move(module.class_name);
  result.uses_regexp = module.uses_regexp;
  result.classes = std::move(module.classes);
  result.module_lines = std::move(module.lines);
  return result;
}

}  // namespace vorlintex::compilable
