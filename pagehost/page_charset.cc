#include "pagehost/page_charset.h"

#include <cstdint>
#include <optional>

#include "contract/windows_1252.h"

namespace vorlintex::pagehost {
namespace {

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
        reference && IsCharacter(reference->first) && !Windows1252Byte(reference->first)) {
      AppendUtf8(reference->first, &out);
      at += reference->second;
      continue;
    }
    AppendUtf8(Windows1252Character(static_cast<unsigned char>(posted[at])), &out);
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
    if (std::optional<unsigned char> byte = Windows1252Byte(character->first)) {
      out += static_cast<char>(*byte);
    } else {
      out += "&#" + std::to_string(static_cast<uint32_t>(character->first)) + ";";
    }
    at += character->second;
  }
  return out;
}

}  // namespace vorlintex::pagehost
