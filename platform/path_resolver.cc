#include "platform/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <optional>

#include "component/ascii.h"
#include "platform/windows_path.h"

namespace vorlintex {
namespace {

bool NameExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void AppendPart(std::string* path, std::string_view part) {
  if (!path->empty() && path->back() != '/') *path += '/';
  path->append(part);
}

// The entry of `folder` equal to `name` without regard to ASCII case; the least in byte order
// when there are several (a POSIX folder may hold both "Page.asp" and "page.ASP").
std::optional<std::string> FindIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = readdir(dir)) {
    std::string_view entry_name(entry->d_name);
    if (AsciiEqualIgnoringCase(entry_name, name) && (!best || entry_name < *best)) {
      best = std::string(entry_name);
    }
  }
  closedir(dir);
  return best;
}

}  // namespace

std::string PosixPathSpelling(std::string_view path) {
  std::string spelled;
  spelled.reserve(path.size());
  if (!path.empty() && IsPathSeparator(path.front())) spelled = "/";
  for (std::string_view part : SplitWindowsPath(path)) AppendPart(&spelled, part);
  return spelled;
}

std::string ResolveWindowsPath(std::string_view path) {
  std::string exact = PosixPathSpelling(path);
  // The common case: the path exists as spelled, and one lstat settles it.
  if (exact.empty() || NameExists(exact)) return exact;

  std::string resolved = (exact.front() == '/') ? "/" : "";
  bool found_nothing = false;
  for (std::string_view part : SplitWindowsPath(path)) {
    std::string folder = resolved;
    AppendPart(&resolved, part);
    if (found_nothing || NameExists(resolved)) continue;
    std::optional<std::string> match = FindIgnoringCase(folder, part);
    if (!match) {
      found_nothing = true;
      continue;
    }
    resolved = std::move(folder);
    AppendPart(&resolved, *match);
  }
  return resolved;
}

}  // namespace vorlintex
