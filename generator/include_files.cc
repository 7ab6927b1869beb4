#include "generator/include_files.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>
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

// Fewer pages are read faster than a thread is started.
constexpr size_t kPagesWorthAThread = 64;

// Marks in `included` the pages that the directives of pages first, first + step, ... name,
// reading them with a file service object of its own.
void MarkIncluded(Env& env, const std::string& source_dir, const std::vector<std::string>& pages,
                  const std::unordered_map<std::string, size_t>& index, size_t first, size_t step,
                  std::vector<char>& included) {
  std::unique_ptr<fs::TextFileService> files;
  if (!env.NewFileService(&files).ok() || files == nullptr) return;
  std::string line;
  for (size_t i = first; i < pages.size(); i += step) {
    std::unique_ptr<fs::TextStream> page;
    if (!files->OpenTextFile(PathIn(source_dir, pages[i]), &page).ok()) continue;
    while (!page->AtEndOfStream() && page->ReadLine(&line).ok()) {
      if (!translator::IsIncludeDirective(line)) continue;
      const std::optional<std::string_view> name = translator::IncludeFileName(line);
      if (!name || name->empty()) continue;
      const std::string_view folder = IsVirtual(line) ? std::string_view() : FolderOf(pages[i]);
      auto found = index.find(Key(
          folder.empty() ? std::string(*name) : std::string(folder) + "\\" + std::string(*name)));
      if (found != index.end() && found->second != i) included[found->second] = 1;
    }
    page->Close().IgnoreError();
  }
}

}  // namespace

std::vector<std::string> IncludedPages(Env& env, const std::string& source_dir,
                                       const std::vector<std::string>& pages) {
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < pages.size(); ++i) index.emplace(Key(pages[i]), i);
  // Every page is read before the run reads it again: on two processors, half on each.
  std::vector<char> included(pages.size(), 0);
  std::vector<char> included_beside(pages.size(), 0);
  std::thread beside;
  if (pages.size() >= kPagesWorthAThread) {
    try {
      beside =
          std::thread([&] { MarkIncluded(env, source_dir, pages, index, 1, 2, included_beside); });
    } catch (const std::system_error&) {
      // No thread to be had: this one reads them all.
    }
  }
  if (beside.joinable()) {
    MarkIncluded(env, source_dir, pages, index, 0, 2, included);
    beside.join();
  } else {
    MarkIncluded(env, source_dir, pages, index, 0, 1, included);
  }
  std::vector<std::string> result;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (included[i] != 0 || included_beside[i] != 0) result.push_back(pages[i]);
  }
  return result;
}

}  // namespace vorlintex::generator
