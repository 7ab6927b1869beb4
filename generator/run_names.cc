#include "generator/run_names.h"

#include <algorithm>
#include <vector>

#include "contract/ascii.h"

namespace vorlintex::generator {

std::string DllName(std::string_view posted) {
  size_t cut = AsciiLower(posted).find(".dll");
  return std::string(posted.substr(0, cut));
}

std::string BaseName(std::string_view selected) {
  std::string base = AsciiLower(selected);
  size_t cut = base.find(".asp");
  if (cut != std::string::npos) base.resize(cut);
  return base;
}

std::string SourcePageName(std::string_view selected) {
  constexpr std::string_view kEnding = ".asp";
  size_t cut = AsciiLower(selected).find(kEnding);
  if (cut == std::string::npos) return std::string(selected) + std::string(kEnding);
  return std::string(selected.substr(0, cut + kEnding.size()));
}

bool IsPlainFileName(std::string_view selected) {
  return selected.find_first_of("\\/:") == std::string_view::npos;
}

std::string PathIn(std::string_view directory, std::string_view file_name) {
  std::string path(directory);
  path += '\\';
  path += file_name;
  return path;
}

std::string ResolveDotParts(std::string_view path) {
  const size_t lead = std::min(path.find_first_not_of("\\/"), path.size());
  std::string resolved(path.substr(0, lead));
  std::vector<std::string_view> parts;
  for (size_t start = lead; start < path.size();) {
    size_t end = std::min(path.find_first_of("\\/", start), path.size());
    const std::string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      parts.push_back(part);
      continue;
    }
    const bool at_root =
        parts.empty() ? lead > 0 : parts.size() == 1 && lead == 0 && parts[0].ends_with(':');
    if (at_root) continue;  // a root has no parent: Windows stays there
    if (!parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else {
      parts.push_back(part);
    }
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) resolved += '\\';
    resolved += parts[i];
  }
  return resolved;
}

bool IsPathUnderFolder(std::string_view selected) {
  if (selected.empty() || selected.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  while (true) {
    size_t end = selected.find_first_of("\\/", start);
    std::string_view part =
        selected.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

PagePlace PlaceOf(std::string_view source_dir, std::string_view target_dir,
                  std::string_view selected) {
  PagePlace place;
  const size_t slash = selected.find_last_of("\\/");
  const std::string_view file =
      slash == std::string_view::npos ? selected : selected.substr(slash + 1);
  if (slash != std::string_view::npos) {
    place.folder = std::string(selected.substr(0, slash));
    for (char& c : place.folder) {
      if (c == '/') c = '\\';
    }
    for (char c : AsciiLower(place.folder)) place.base_name += c == '\\' ? '_' : c;
    place.base_name += '_';
  }
  place.base_name += BaseName(file);
  place.source_dir =
      place.folder.empty() ? std::string(source_dir) : PathIn(source_dir, place.folder);
  place.source_path = PathIn(place.source_dir, SourcePageName(file));
  const std::string page_name = BaseName(file) + ".asp";
  place.page_path =
      PathIn(target_dir, place.folder.empty() ? page_name : PathIn(place.folder, page_name));
  return place;
}

}  // namespace vorlintex::generator
