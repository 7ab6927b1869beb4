#include "platform/windows_path.h"

#include "contract/ascii.h"

namespace vorlintex {

std::vector<std::string_view> SplitWindowsPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsPathSeparator(path[i])) {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::string WindowsPathKey(std::string_view path) {
  std::string key;
  key.reserve(path.size());
  for (std::string_view part : SplitWindowsPath(path)) {
    if (part == ".") continue;
    if (part == "..") {
      const size_t cut = key.rfind('\\');
      key.resize(cut == std::string::npos ? 0 : cut);
      continue;
    }
    if (!key.empty()) key += '\\';
    for (char c : part) key += AsciiLower(c);
  }
  return key;
}

}  // namespace vorlintex
