#include "wizard/page_writer.h"

#include "generator/html_escape.h"

namespace vorlintex::wizard {

void PageWriter::Line(std::string_view text) {
  if (!status_.ok()) return;
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append("\r\n");
  status_ = response_.Write(line);
}

void PageWriter::ValueLine(std::string_view before, std::string_view value,
                           std::string_view after) {
  std::string line(before);
  line.append(generator::HtmlEscape(value));
  line.append(after);
  Line(line);
}

std::string PageWriter::RequestValue(std::string_view name) {
  std::string value;
  if (status_.ok()) status_ = request_.Item(name, &value);
  if (!status_.ok()) value.clear();
  return value;
}

std::string PageWriter::SessionValue(std::string_view name) {
  std::string value;
  if (status_.ok()) status_ = session_.Item(name, &value);
  if (!status_.ok()) value.clear();
  return value;
}

void PageWriter::StoreInSession(std::string_view name, std::string_view value) {
  if (status_.ok()) status_ = session_.SetItem(name, value);
}

void PageWriter::Take(const Status& status) {
  if (status_.ok()) status_ = status;
}

}  // namespace vorlintex::wizard
