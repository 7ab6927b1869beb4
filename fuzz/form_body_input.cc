#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "pagehost/form_body.h"

namespace vorlintex::fuzz {
namespace {

// Encodes every byte as "%XY", so that decoding gives back exactly `text`.
std::string EncodeAll(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : text) {
    encoded += '%';
    encoded += kHex[c >> 4];
    encoded += kHex[c & 15];
  }
  return encoded;
}

}  // namespace

int FormBodyInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  pagehost::FormFields fields;
  const Status parsed = pagehost::ParseFormBody(body, &fields);

  size_t pieces = 0;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    if (end > start) ++pieces;
    start = end + 1;
  }
  size_t decoded_bytes = 0;
  for (const auto& [name, value] : fields) decoded_bytes += name.size() + value.size();
  FUZZ_CHECK(fields.size() <= pieces);
  FUZZ_CHECK(decoded_bytes <= body.size());
  if (parsed.ok()) FUZZ_CHECK(fields.size() == pieces);
  // Only a malformed "%" or a NUL byte (raw or encoded) makes a body bad.
  if (!parsed.ok()) {
    FUZZ_CHECK(body.find('%') != std::string_view::npos ||
               body.find('\0') != std::string_view::npos);
  }

  // What was decoded comes back unchanged through a fully encoded body.
  std::string encoded;
  for (const auto& [name, value] : fields) {
    if (!encoded.empty()) encoded += '&';
    encoded += EncodeAll(name) + "=" + EncodeAll(value);
  }
  pagehost::FormFields again;
  FUZZ_CHECK(pagehost::ParseFormBody(encoded, &again).ok());
  // A field with an empty name and value encodes to "=" and comes back as it was.
  FUZZ_CHECK(again == fields);

  std::string decoded;
  const Status whole = pagehost::PercentDecode(body, &decoded);
  FUZZ_CHECK(decoded.size() <= body.size());
  if (whole.ok()) FUZZ_CHECK(parsed.ok());
  return 0;
}

}  // namespace vorlintex::fuzz
