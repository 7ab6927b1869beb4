#include "pagehost/form_body.h"

namespace vorlintex::pagehost {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Status PercentDecode(std::string_view text, std::string* decoded) {
  decoded->clear();
  decoded->reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      decoded->push_back(' ');
    } else if (c == '%') {
      int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
      int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
      if (high < 0 || low < 0) {
        return Status::Error(std::string(text),
                             "malformed percent-encoding at byte " + std::to_string(i + 1) +
                                 " (a \"%\" must be followed by two hex digits)");
      }
      decoded->push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      decoded->push_back(c);
    }
  }
  // No field of the wizard can hold a NUL: in a folder name it would name another folder.
  if (decoded->find('\0') != std::string::npos) {
    return Status::Error(std::string(text), "a field may not hold a NUL byte (%00)");
  }
  return Status::OK();
}

Status ParseFormBody(std::string_view body, FormFields* fields) {
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    std::string_view piece = body.substr(start, end - start);
    start = end + 1;
    if (piece.empty()) continue;
    size_t equals = piece.find('=');
    std::string_view name = piece.substr(0, equals);
    std::string_view value =
        equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1);
    std::pair<std::string, std::string> field;
    Status status = PercentDecode(name, &field.first);
    if (status.ok()) status = PercentDecode(value, &field.second);
    if (!status.ok()) return status;
    fields->push_back(std::move(field));
  }
  return Status::OK();
}

}  // namespace vorlintex::pagehost
