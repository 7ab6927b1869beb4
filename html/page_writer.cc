#include "html/page_writer.h"

#include <utility>

#include "html/escape.h"

namespace vorlintex::html {

void PageWriter::Line(std::initializer_list<std::string_view> pieces) {
  std::string text = Join(pieces);
  text += "\r\n";
  Write(std::move(text));
}

void PageWriter::Text(std::initializer_list<std::string_view> pieces) { Write(Join(pieces)); }

void PageWriter::ValueLine(std::string_view before, std::string_view value,
                           std::string_view after) {
  Line({before, HtmlEscape(value), after});
}

void PageWriter::Take(const Status& status) {
  if (status_.ok()) status_ = status;
}

void PageWriter::Write(std::string text) {
  if (!status_.ok()) return;
  status_ = response_.Write(text);
}

}  // namespace vorlintex::html
