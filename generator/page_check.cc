#include "generator/page_check.h"

#include <algorithm>
#include <array>
#include <memory>
#include <tuple>
#include <utility>

#include "contract/output_file.h"
#include "generator/run_names.h"
#include "translator/translate_page.h"
#include "translator/translation_observer.h"

namespace vorlintex::generator {
namespace {

using translator::Loss;

struct KindText {
  std::string_view kind;
  std::string_view message;
};

// By translator::Loss, in its order.
constexpr std::array<KindText, 20> kLossTexts = {{
    {"text-before-code", "text before \"<%\" on a code line is dropped"},
    {"sub-word",
     "\"sub \" where no Sub starts: the line is missing from the page, and the procedures "
     "section gets it and the lines up to the next \"end sub\""},
    {"sub-body-in-page-method",
     "the Sub's body and its \"End Sub\" also land in the page method, which that \"End Sub\" "
     "ends early: Visual Basic will not compile the class"},
    {"include-cut-by-sub",
     "after a Sub in this include file, this line and every later line of the file are missing "
     "from the page"},
    {"procedure-in-page-method",
     "a Function or Property lands inside the page method: Visual Basic will not compile it"},
    {"class-block",
     "a Class block lands inside the page method: Visual Basic has no classes inside a class "
     "module"},
    {"duplicate-procedure",
     "a Sub is copied into the class a second time: Visual Basic will not compile the duplicate "
     "definition"},
    {"script-block-as-text",
     "a server-side script block is sent to the browser as text, from this line to its "
     "\"</script>\""},
    {"script-not-vbscript",
     "a script block in another language than VBScript is copied into a Visual Basic class"},
    {"expression-cut-short", "a \"%\" inside \"<%= ... %>\" ends the expression early"},
    {"caret-becomes-quote",
     "a \"^\" in the text of a line with an expression becomes a double quote"},
    {"unfinished-expression",
     "\"<%=\" with no \"%\" after it: the line is copied unchanged, unquoted"},
    {"directive-as-text", "the \"<%@ ... %>\" directive is sent to the browser as text"},
    {"nested-include",
     "an include directive inside an include file is not followed: it is sent as text"},
    {"virtual-include", "a virtual include is looked for in the source folder"},
    {"text-on-include-line", "text beside the include directive on this line is lost"},
    {"code-never-closed", "\"<%\" is never closed: the rest of the file is taken as code"},
    {"not-ascii",
     "bytes outside ASCII (or a byte order mark): Visual Basic 6 reads class files in the "
     "system's ANSI code page"},
    {"unbalanced-quotes",
     "a written statement whose quotes do not pair up: Visual Basic will not compile it"},
    {"missing-include", "the include file does not exist: a run stops at this page"},
}};

constexpr KindText kUnreadablePage = {"unreadable-page", "the page cannot be read"};
constexpr KindText kPageName = {
    "page-name",
    "the page's class name is not a Visual Basic identifier: the class cannot be named"};
constexpr KindText kDllName = {"dll-name", "the DLL name is not a Visual Basic identifier"};
constexpr KindText kBuildScriptName = {
    "build-script-name",
    "the target folder or DLL name holds a space or one of & | < > ^, which breaks the one-line "
    "build script"};

// A class module that keeps nothing: the check writes no file.
class DiscardStream : public fs::TextStream {
 public:
  bool AtEndOfStream() override { return true; }
  Status ReadLine(std::string* line) override {
    line->clear();
    return Status::NotSupported("class module", "written only");
  }
  Status WriteLine(std::string_view) override { return Status::OK(); }
  Status Close() override { return Status::OK(); }
  Status Abandon() override { return Status::OK(); }
};

class FindingCollector : public translator::TranslationObserver {
 public:
  explicit FindingCollector(std::vector<Finding>* findings) : findings_(findings) {}

  void Noted(Loss loss, translator::LineAt at, std::string_view source,
             std::string_view written) override {
    const KindText& text = kLossTexts[static_cast<size_t>(loss)];
    findings_->push_back(Finding{std::string(at.file), at.number, text.kind, text.message,
                                 std::string(source), std::string(written)});
  }

 private:
  std::vector<Finding>* findings_;
};

bool IsIdentifier(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

bool BreaksBuildScript(std::string_view text) {
  return text.find_first_of(" &|<>^") != std::string_view::npos;
}

Finding RunFinding(std::string file, const KindText& text, std::string source) {
  return Finding{std::move(file), 0, text.kind, text.message, std::move(source), ""};
}

// The findings of one page from `from` on, which its three passes told in their own order:
// the page's lines first, then each include file's, each by line. An include file read
// twice tells the same finding twice: it is kept once.
void SortAndMerge(const std::string& page_path, std::vector<Finding>* findings, size_t from) {
  auto key = [&page_path](const Finding& f) {
    return std::make_tuple(f.file != page_path, std::string_view(f.file), f.line);
  };
  std::stable_sort(findings->begin() + from, findings->end(),
                   [&key](const Finding& a, const Finding& b) { return key(a) < key(b); });
  auto same = [](const Finding& a, const Finding& b) {
    return a.file == b.file && a.line == b.line && a.kind == b.kind;
  };
  findings->erase(std::unique(findings->begin() + from, findings->end(), same), findings->end());
}

}  // namespace

const std::vector<std::string_view>& FindingKinds() {
  static const std::vector<std::string_view> kinds = [] {
    std::vector<std::string_view> all;
    for (const KindText& text : kLossTexts) all.push_back(text.kind);
    for (const KindText* text : {&kUnreadablePage, &kPageName, &kDllName, &kBuildScriptName}) {
      all.push_back(text->kind);
    }
    return all;
  }();
  return kinds;
}

CheckResult CheckPages(const RunInput& input, Env& env) {
  CheckResult result;
  const std::string dll_name = DllName(input.dll_name);
  if (!IsIdentifier(dll_name)) result.findings.push_back(RunFinding("", kDllName, dll_name));
  if (BreaksBuildScript(input.target_dir) || BreaksBuildScript(dll_name)) {
    result.findings.push_back(
        RunFinding("", kBuildScriptName, input.target_dir + "\\" + dll_name + ".vbp"));
  }

  std::unique_ptr<fs::TextFileService> files;
  if (Status made = env.NewFileService(&files); !made.ok() || files == nullptr) {
    result.findings.push_back(RunFinding(input.source_dir, kUnreadablePage, made.Message()));
    return result;
  }
  FailureLog failures;
  FindingCollector collector(&result.findings);
  for (const std::string& selected : input.pages) {
    const size_t before = result.findings.size();
    const PagePlace place = PlaceOf(input.source_dir, input.target_dir, selected);
    const std::string& base_name = place.base_name;
    const std::string& source_path = place.source_path;
    ++result.pages_read;
    if (!IsIdentifier(base_name)) {
      result.findings.push_back(RunFinding(source_path, kPageName, base_name));
    }
    translator::PageTranslation translation;
    translation.source_dir = place.source_dir;
    translation.source_path = source_path;
    translation.base_name = base_name;
    translation.files = files.get();
    translation.env = &env;
    translation.failures = &failures;
    translation.observer = &collector;
    translation.pass_over_missing_includes = true;
    if (Status opened = files->OpenTextFile(source_path, &translation.page); !opened.ok()) {
      result.findings.push_back(RunFinding(source_path, kUnreadablePage, opened.reason()));
      ++result.pages_with_findings;
      continue;
    }
    OutputFile class_module(base_name + ".cls", std::make_unique<DiscardStream>(), nullptr);
    translation.class_module = &class_module;
    translator::TranslatePage(translation);
    SortAndMerge(source_path, &result.findings, before);
    for (size_t i = before; i < result.findings.size(); ++i) {
      if (result.findings[i].kind == "missing-include") result.missing_include = true;
    }
    if (result.findings.size() > before) ++result.pages_with_findings;
  }
  return result;
}

}  // namespace vorlintex::generator
