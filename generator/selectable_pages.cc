#include "generator/selectable_pages.h"

#include "contract/ascii.h"

namespace vorlintex::generator {

bool IsSelectablePage(std::string_view name) {
  const std::string lower = AsciiLower(name);
  return lower.find(".asp") != std::string::npos || lower.find(".inc") != std::string::npos;
}

Status SelectablePages(Env& env, const std::string& source_dir, std::vector<std::string>* pages) {
  Status listed = env.ListFiles(source_dir + "\\*.asp", pages);
  // Filtered where they are: the listing of a large site is not copied.
  std::erase_if(*pages, [](const std::string& name) { return !IsSelectablePage(name); });
  // The list is held for the whole run: without the room the listing grew into.
  pages->shrink_to_fit();
  return listed;
}

Status SitePages(Env& env, const std::string& source_dir, std::vector<std::string>* pages,
                 size_t* folders) {
  pages->clear();
  // The folders still to walk, as paths under the source folder, the next one last.
  std::vector<std::string> to_walk = {std::string()};
  std::vector<std::string> names;
  while (!to_walk.empty()) {
    const std::string folder = std::move(to_walk.back());
    to_walk.pop_back();
    ++*folders;
    const std::string path = folder.empty() ? source_dir : source_dir + "\\" + folder;
    const std::string prefix = folder.empty() ? folder : folder + "\\";
    Status listed = SelectablePages(env, path, &names);
    if (listed.ok()) {
      for (const std::string& name : names) pages->push_back(prefix + name);
      listed = env.ListFolders(path, &names);
    }
    if (!listed.ok()) {
      pages->clear();
      return listed;
    }
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
      to_walk.push_back(prefix + *name);
    }
  }
  pages->shrink_to_fit();
  return Status::OK();
}

}  // namespace vorlintex::generator
