#include "generator/page_writer.h"

#include <utility>

namespace vorlintex::generator {

std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text += piece;
  return text;
}

void PageWriter::Line(std::initializer_list<std::string_view> pieces) {
  Write(Join(pieces) + "\r\n");
}

void PageWriter::Text(std::initializer_list<std::string_view> pieces) { Write(Join(pieces)); }

void PageWriter::Write(std::string text) {
  if (!status_.ok()) return;
  status_ = response_.Write(text);
}

}  // namespace vorlintex::generator
