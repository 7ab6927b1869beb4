#include "pagehost/form_body.h"

#include "pagehost/percent_decoding.h"

namespace vorlintex::pagehost {

Status PercentDecode(std::string_view text, std::string* decoded) {
  size_t malformed_at;
  *decoded = PercentDecoded(text, PlusSign::kSpace, &malformed_at);
  if (malformed_at != std::string::npos) {
    return Status::Error(std::string(text), "malformed percent-encoding at byte " +
                                                std::to_string(malformed_at + 1) +
                                                " (a \"%\" must be followed by two hex digits)");
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
