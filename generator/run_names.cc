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

std::string PathIn(std::string_view directory, std::string_view file_name) {
  std::string path(directory);
  path += '\\';
  path += file_name;
  return path;
}

}  // namespace vorlintex::generator
