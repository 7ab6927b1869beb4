#include "generator/include_files.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "contract/ascii.h"
#include "generator/run_names.h"
#include "translator/include_directive.h"

namespace vorlintex::generator {
namespace {

// A page's path under the source folder as Windows would compare it.
std::string Key(std::string_view path) {
  std::string key = ResolveDotParts(path);
  for (char& c : key) c = c == '/' ? '\\' : AsciiLower(c);
  return key.substr(std::min(key.find_first_not_of('\\'), key.size()));
}

std::string_view FolderOf(std::string_view page) {
  const size_t cut = page.find_last_of("\\/");
  return cut == std::string_view::npos ? std::string_view() : page.substr(0, cut);
}

// `virtual="/inc/menu.asp"` starts from the site's root; `file="menu.asp"` from the folder of
// the file that holds the directive.
bool IsVirtual(std::string_view line) {
  return AsciiLower(line.substr(0, line.find('"'))).find("virtual") != std::string::npos;
}

}  // namespace

std::vector<std::string> IncludedPages(Env& env, const std::string& source_dir,
                                       const std::vector<std::string>& pages) {
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < pages.size(); ++i) index.emplace(Key(pages[i]), i);
  std::vector<bool> included(pages.size(), false);
  std::unique_ptr<fs::TextFileService> files;
  if (!env.NewFileService(&files).ok() || files == nullptr) return {};
  std::string line;
  for (size_t i = 0; i < pages.size(); ++i) {
    std::unique_ptr<fs::TextStream> page;
    if (!files->OpenTextFile(PathIn(source_dir, pages[i]), &page).ok()) continue;
    while (!page->AtEndOfStream() && page->ReadLine(&line).ok()) {
      if (!translator::IsIncludeDirective(line)) continue;
      const std::optional<std::string_view> name = translator::IncludeFileName(line);
      if (!name || name->empty()) continue;
      const std::string_view folder = IsVirtual(line) ? std::string_view() : FolderOf(pages[i]);
      auto found = index.find(Key(
          folder.empty() ? std::string(*name) : std::string(folder) + "\\" + std::string(*name)));
      if (found != index.end() && found->second != i) included[found->second] = true;
    }
    page->Close().IgnoreError();
  }
  std::vector<std::string> result;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (included[i]) result.push_back(pages[i]);
  }
  return result;
}

}  // namespace vorlintex::generator
