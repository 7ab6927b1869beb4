#include "generator/run_names.h"

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

}  // namespace vorlintex::generator
