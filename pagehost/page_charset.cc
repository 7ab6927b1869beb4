#include "pagehost/page_charset.h"

#include <cstdint>
#include <optional>

namespace vorlintex::pagehost {
namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F; the rest are ISO-8859-1's, their own
// number. 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined and read as the control of their number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t PageCharacter(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

// The byte that carries `c` in a page; nothing when the page's character set has none.
std::optional<unsigned char> PageByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (unsigned char i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsCharacter(char32_t c) { return c > 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// The character of the reference "&#N;" or "&#xH;" at the start of `text`, and its length;
// nothing when `text` does not start with one.
std::optional<std::pair<char32_t, size_t>> Reference(std::string_view text) {
  if (text.size() < 4 || text[0] != '&' || text[1] != '#') return std::nullopt;
  const bool hex = text[2] == 'x' || text[2] == 'X';
  size_t at = hex ? 3 : 2;
  const size_t digits_start = at;
  uint32_t value = 0;
  for (; at < text.size() && at - digits_start < 8; ++at) {
    const char d = text[at];
    uint32_t digit;
    if (d >= '0' && d <= '9') {
      digit = static_cast<uint32_t>(d - '0');
    } else if (hex && d >= 'a' && d <= 'f') {
      digit = static_cast<uint32_t>(d - 'a' + 10);
    } else if (hex && d >= 'A' && d <= 'F') {
      digit = static_cast<uint32_t>(d - 'A' + 10);
    } else {
      break;
    }
    value = value * (hex ? 16 : 10) + digit;
  }
  if (at == digits_start || at >= text.size() || text[at] != ';') return std::nullopt;
  return std::make_pair(static_cast<char32_t>(value), at + 1);
}

// The character of the UTF-8 sequence at the start of `text`, and its length; nothing when it
// is not a whole, shortest, valid sequence.
std::optional<std::pair<char32_t, size_t>> Utf8Character(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  size_t length;
  char32_t c;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < shortest[length] || !IsCharacter(c)) return std::nullopt;
  return std::make_pair(c, length);
}

bool AllAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string PostedToUtf8(std::string_view posted) {
  if (AllAscii(posted) && posted.find("&#") == std::string_view::npos) {
    return std::string(posted);
  }
  std::string out;
  out.reserve(posted.size() + posted.size() / 2);
  for (size_t at = 0; at < posted.size();) {
    if (auto reference = Reference(posted.substr(at));
        reference && IsCharacter(reference->first) && !PageByte(reference->first)) {
      AppendUtf8(reference->first, &out);
      at += reference->second;
      continue;
    }
    AppendUtf8(PageCharacter(static_cast<unsigned char>(posted[at])), &out);
    ++at;
  }
  return out;
}

std::string Utf8ToPage(std::string_view text) {
  if (AllAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      out += text[at++];
      continue;
    }
    const auto character = Utf8Character(text.substr(at));
    if (!character) {
      out += text[at++];
      continue;
    }
    if (std::optional<unsigned char> byte = PageByte(character->first)) {
      out += static_cast<char>(*byte);
    } else {
      out += "&#" + std::to_string(static_cast<uint32_t>(character->first)) + ";";
    }
    at += character->second;
  }
  return out;
}

}  // namespace vorlintex::pagehost
