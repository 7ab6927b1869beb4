#include "platform/wine_registry.h"

#include <stdlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

#include "contract/ascii.h"

namespace vorlintex {
namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Collects the text of an escaped string. Escapes give UTF-16 code units, which are written
// in UTF-8 (a surrogate pair as one character, a lone surrogate as "?"); bytes that the file
// holds unescaped are kept as they are.
class UnescapedText {
 public:
  void AddByte(char byte) {
    FlushLoneSurrogate();
    text_ += byte;
  }

  void AddCodeUnit(uint32_t unit) {
    if (pending_high_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AddCodePoint(0x10000 + ((pending_high_ - 0xD800) << 10) + (unit - 0xDC00));
        pending_high_ = 0;
        return;
      }
      FlushLoneSurrogate();
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      pending_high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      text_ += '?';
    } else {
      AddCodePoint(unit);
    }
  }

  std::string Take() {
    FlushLoneSurrogate();
    return std::move(text_);
  }

 private:
  void FlushLoneSurrogate() {
    if (pending_high_ == 0) return;
    text_ += '?';
    pending_high_ = 0;
  }

  void AddCodePoint(uint32_t point) {
    if (point < 0x80) {
      text_ += static_cast<char>(point);
    } else if (point < 0x800) {
      text_ += static_cast<char>(0xC0 | (point >> 6));
      text_ += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      text_ += static_cast<char>(0xE0 | (point >> 12));
      text_ += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text_ += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      text_ += static_cast<char>(0xF0 | (point >> 18));
      text_ += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      text_ += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text_ += static_cast<char>(0x80 | (point & 0x3F));
    }
  }

  std::string text_;
  uint32_t pending_high_ = 0;
};

// Undoes the escapes of a key name or a string value, reading `line` from `*pos` up to the
// unescaped `end`. Leaves `*pos` after `end`. Nothing when the line ends first.
std::optional<std::string> ReadEscaped(std::string_view line, size_t* pos, char end) {
  UnescapedText text;
  size_t p = *pos;
  while (p < line.size() && line[p] != end) {
    if (line[p] != '\\') {
      text.AddByte(line[p++]);
      continue;
    }
    if (++p == line.size()) return std::nullopt;
    const char escape = line[p++];
    switch (escape) {
      case 'a':
        text.AddByte('\a');
        break;
      case 'b':
        text.AddByte('\b');
        break;
      case 'e':
        text.AddByte('\x1B');
        break;
      case 'f':
        text.AddByte('\f');
        break;
      case 'n':
        text.AddByte('\n');
        break;
      case 'r':
        text.AddByte('\r');
        break;
      case 't':
        text.AddByte('\t');
        break;
      case 'v':
        text.AddByte('\v');
        break;
      case 'x': {
        if (p == line.size() || HexDigitValue(line[p]) < 0) {
          text.AddByte('x');
          break;
        }
        uint32_t unit = 0;
        for (int digits = 0; digits < 4 && p < line.size() && HexDigitValue(line[p]) >= 0;
             ++digits) {
          unit = unit * 16 + static_cast<uint32_t>(HexDigitValue(line[p++]));
        }
        text.AddCodeUnit(unit);
        break;
      }
      default:
        if (IsOctalDigit(escape)) {
          uint32_t unit = static_cast<uint32_t>(escape - '0');
          for (int digits = 1; digits < 3 && p < line.size() && IsOctalDigit(line[p]); ++digits) {
            unit = unit * 8 + static_cast<uint32_t>(line[p++] - '0');
          }
          text.AddCodeUnit(unit);
        } else {
          // "\\", "\"", "\[", "\]" and any other escaped character stand for themselves.
          text.AddByte(escape);
        }
        break;
    }
  }
  if (p == line.size()) return std::nullopt;
  *pos = p + 1;
  return text.Take();
}

// The default value of a "@=" line: a plain quoted string, or nothing.
std::optional<std::string> ReadDefaultValue(std::string_view line) {
  size_t pos = 2;  // after "@="
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  ++pos;
  return ReadEscaped(line, &pos, '"');
}

// True when a key line ("[name] timestamp") names the key `wanted`.
bool KeyLineNames(std::string_view line, std::string_view wanted) {
  size_t pos = 1;  // after "["
  const std::optional<std::string> name = ReadEscaped(line, &pos, ']');
  return name && AsciiEqualIgnoringCase(*name, wanted);
}

std::string_view StripLeadingBlanks(std::string_view line) {
  size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  return line.substr(start);
}

}  // namespace

std::optional<std::string> FindClassesRootDefaultValue(std::string_view system_reg_text,
                                                       std::string_view subkey) {
  const std::string wanted = "Software\\Classes\\" + std::string(subkey);
  std::optional<std::string> value;
  bool in_wanted_key = false;
  bool continued = false;  // the previous value line ended in "\": this line belongs to it
  size_t start = 0;
  while (start < system_reg_text.size()) {
    size_t end = system_reg_text.find('\n', start);
    if (end == std::string_view::npos) end = system_reg_text.size();
    std::string_view line = system_reg_text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = StripLeadingBlanks(line);

    // Wine continues only long hex values, on indented lines of hex digits: a blank line or a
    // key line always ends a value, even a broken one.
    if (line.empty()) {
      continued = false;
      continue;
    }
    if (line.front() == '[') {
      continued = false;
      in_wanted_key = KeyLineNames(line, wanted);
      continue;
    }
    if (continued) {
      continued = line.back() == '\\';
      continue;
    }
    if (line.front() != '@' && line.front() != '"') continue;  // comments, "#time=" and such
    continued = line.back() == '\\';
    if (in_wanted_key && line.substr(0, 2) == "@=") {
      // A later default value of the same key replaces an earlier one, as when Wine loads it.
      value = ReadDefaultValue(line);
    }
  }
  return value;
}

std::optional<std::string> WineSystemRegistryPath() {
  const char* prefix = getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return std::string(prefix) + "/system.reg";
  const char* home = getenv("HOME");
  if (home != nullptr && *home != '\0') return std::string(home) + "/.wine/system.reg";
  return std::nullopt;
}

std::optional<std::string> WineClassesRootDefaultValue(const std::string& subkey) {
  const std::optional<std::string> path = WineSystemRegistryPath();
  if (!path) return std::nullopt;
  std::ifstream file(*path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return FindClassesRootDefaultValue(text.view(), subkey);
}

}  // namespace vorlintex
