#include <optional>
#include <string>
#include <string_view>

#include "contract/ascii.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "platform/wine_registry.h"

namespace vorlintex::fuzz {
namespace {

// Writes `text` as system.reg writes a key name or string: backslash, quote and brackets
// escaped, control bytes as three octal digits (so a digit after them is not taken in), other
// bytes as they are.
std::string RegEscape(std::string_view text) {
  std::string escaped;
  for (unsigned char c : text) {
    if (c == '\\' || c == '"' || c == '[' || c == ']') {
      escaped += '\\';
      escaped += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      escaped += '\\';
      escaped += static_cast<char>('0' + (c >> 6));
      escaped += static_cast<char>('0' + ((c >> 3) & 7));
      escaped += static_cast<char>('0' + (c & 7));
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return escaped;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

}  // namespace

int WineRegistryInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find('\n');
  const std::string_view subkey = input.substr(0, cut);
  const std::string_view text =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  const std::optional<std::string> value = FindClassesRootDefaultValue(text, subkey);
  // Every escape is at least as long as the bytes it stands for.
  if (value) FUZZ_CHECK(value->size() <= text.size());
  // Key names are compared without regard to ASCII case.
  FUZZ_CHECK(FindClassesRootDefaultValue(text, Upper(subkey)) == value);

  // A key written after the text, as Wine writes it, is found with its value unchanged: the
  // value is the text's first line, the key the subkey.
  const std::string_view written_value = text.substr(0, text.find('\n'));
  const std::string file = std::string(text) + "\n[" + RegEscape("Software\\Classes\\") +
                           RegEscape(subkey) + "] 1700000000\n#time=1da0000\n@=\"" +
                           RegEscape(written_value) + "\"\n";
  const std::optional<std::string> found = FindClassesRootDefaultValue(file, subkey);
  FUZZ_CHECK(found.has_value());
  FUZZ_CHECK(*found == written_value);
  return 0;
}

}  // namespace vorlintex::fuzz
