#include "pagehost/percent_decoding.h"

namespace vorlintex::pagehost {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentDecoded(std::string_view text, PlusSign plus, size_t* malformed_at) {
  if (malformed_at != nullptr) *malformed_at = std::string::npos;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+' && plus == PlusSign::kSpace) {
      out.push_back(' ');
    } else if (c != '%') {
      out.push_back(c);
    } else if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      if (malformed_at != nullptr && *malformed_at == std::string::npos) *malformed_at = i;
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace vorlintex::pagehost
