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

}  // namespace vorlintex::generator
