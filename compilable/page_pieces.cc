#include "compilable/page_pieces.h"

#include <algorithm>
#include <cstddef>

#include "contract/ascii.h"

namespace vorlintex::compilable {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  return text.size() - at >= word.size() &&
         AsciiEqualIgnoringCase(text.substr(at, word.size()), word);
}

size_t FindNoCase(std::string_view text, size_t from, std::string_view word) {
  for (size_t i = from; i + word.size() <= text.size(); ++i) {
    if (StartsWithNoCase(text, i, word)) return i;
  }
  return std::string_view::npos;
}

size_t SkipSpaces(std::string_view text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

// The end of the code that begins at `at`: the position of its "%>", or npos. String literals
// hide a "%>"; a comment hides a quote but not a "%>".
size_t CodeEnd(std::string_view text, size_t at) {
  bool in_string = false;
  bool in_comment = false;
  for (size_t i = at; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n') {
      in_string = false;
      in_comment = false;
    } else if (in_string) {
      if (c == '"') in_string = false;  // a doubled quote reopens at once
    } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '>') {
      return i;
    } else if (!in_comment && c == '"') {
      in_string = true;
    } else if (!in_comment && c == '\'') {
      in_comment = true;
    }
  }
  return std::string_view::npos;
}

// An attribute value of a tag: quoted or bare.
std::string_view AttributeValue(std::string_view tag, std::string_view name) {
  size_t at = 0;
  while ((at = FindNoCase(tag, at, name)) != std::string_view::npos) {
    bool starts_word = at == 0 || IsSpace(tag[at - 1]);
    size_t after = SkipSpaces(tag, at + name.size());
    at += name.size();
    if (!starts_word || after >= tag.size() || tag[after] != '=') continue;
    size_t value = SkipSpaces(tag, after + 1);
    if (value >= tag.size()) return {};
    char quote = tag[value];
    if (quote == '"' || quote == '\'') {
      size_t close = tag.find(quote, value + 1);
      if (close == std::string_view::npos) return {};
      return tag.substr(value + 1, close - value - 1);
    }
    size_t end = value;
    while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != '>') ++end;
    return tag.substr(value, end - value);
  }
  return {};
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::vector<Piece> Read() {
    size_t text_start = 0;
    size_t at = 0;
    while ((at = text_.find('<', at)) != std::string_view::npos) {
      size_t next = 0;
      Piece piece;
      if (text_.compare(at, 2, "<%") == 0) {
        next = CodeBlock(at, &piece);
      } else if (text_.compare(at, 4, "<!--") == 0) {
        next = Include(at, &piece);
      } else if (StartsWithNoCase(text_, at, "<script")) {
        next = Script(at, &piece);
      }
      if (next == 0) {
        ++at;
        continue;
      }
      AddText(text_start, at);
      piece.line = LineAt(piece.text.data() - text_.data());
      pieces_.push_back(piece);
      text_start = at = next;
    }
    AddText(text_start, text_.size());
    return std::move(pieces_);
  }

 private:
  void AddText(size_t from, size_t to) {
    if (to <= from) return;
    Piece piece;
    piece.text = text_.substr(from, to - from);
    piece.line = LineAt(from);
    pieces_.push_back(piece);
  }

  // Lines are counted forward only, as the pieces come in order.
  int LineAt(size_t offset) {
    line_ += static_cast<int>(std::count(text_.begin() + counted_, text_.begin() + offset, '\n'));
    counted_ = offset;
    return line_;
  }

  size_t CodeBlock(size_t at, Piece* piece) {
    size_t body = at + 2;
    piece->kind = PieceKind::kCode;
    if (body < text_.size() && text_[body] == '@') {
      piece->kind = PieceKind::kDirective;
      ++body;
    } else {
      size_t first = SkipSpaces(text_, body);
      if (first < text_.size() && text_[first] == '=') {
        piece->kind = PieceKind::kExpression;
        body = first + 1;
      }
    }
    size_t end = CodeEnd(text_, body);
    if (end == std::string_view::npos) {
      piece->text = text_.substr(body);
      return text_.size();
    }
    piece->text = text_.substr(body, end - body);
    return end + 2;
  }

  // "<!--", spaces, "#include", spaces, file or virtual, "=", the name, spaces, "-->".
  size_t Include(size_t at, Piece* piece) {
    size_t i = SkipSpaces(text_, at + 4);
    if (!StartsWithNoCase(text_, i, "#include")) return 0;
    i = SkipSpaces(text_, i + 8);
    if (StartsWithNoCase(text_, i, "file")) {
      i += 4;
    } else if (StartsWithNoCase(text_, i, "virtual")) {
      piece->is_virtual = true;
      i += 7;
    } else {
      return 0;
    }
    i = SkipSpaces(text_, i);
    if (i >= text_.size() || text_[i] != '=') return 0;
    i = SkipSpaces(text_, i + 1);
    if (i >= text_.size()) return 0;
    size_t name_end;
    if (text_[i] == '"' || text_[i] == '\'') {
      name_end = text_.find(text_[i], i + 1);
      if (name_end == std::string_view::npos) return 0;
      piece->text = text_.substr(i + 1, name_end - i - 1);
      ++name_end;
    } else {
      name_end = i;
      while (name_end < text_.size() && !IsSpace(text_[name_end]) && text_[name_end] != '-') {
        ++name_end;
      }
      piece->text = text_.substr(i, name_end - i);
    }
    size_t close = SkipSpaces(text_, name_end);
    if (text_.compare(close, 3, "-->") != 0 || piece->text.empty()) return 0;
    piece->kind = PieceKind::kInclude;
    return close + 3;
  }

  size_t Script(size_t at, Piece* piece) {
    size_t tag_end = text_.find('>', at);
    if (tag_end == std::string_view::npos) return 0;
    std::string_view tag = text_.substr(at + 7, tag_end - at - 7);
    if (!tag.empty() && !IsSpace(tag[0])) return 0;
    if (!AsciiEqualIgnoringCase(AttributeValue(tag, "runat"), "server")) return 0;
    size_t close = FindNoCase(text_, tag_end + 1, "</script");
    size_t close_end = close == std::string_view::npos ? text_.size() : text_.find('>', close);
    close_end = close_end == std::string_view::npos ? text_.size() : close_end + 1;
    if (close == std::string_view::npos) close = text_.size();
    piece->kind = PieceKind::kScript;
    piece->language = AttributeValue(tag, "language");
    if (piece->language.empty()) {
      std::string_view type = AttributeValue(tag, "type");
      if (size_t slash = type.find('/'); slash != std::string_view::npos) {
        piece->language = type.substr(slash + 1);
      }
    }
    piece->text = text_.substr(tag_end + 1, close - tag_end - 1);
    return close_end;
  }

  std::string_view text_;
  std::vector<Piece> pieces_;
  int line_ = 1;
  size_t counted_ = 0;
};

}  // namespace

std::vector<Piece> ReadPieces(std::string_view text) { return Reader(text).Read(); }

bool IsVbscript(std::string_view language) {
  return language.empty() || AsciiEqualIgnoringCase(language, "vbscript") ||
         AsciiEqualIgnoringCase(language, "vbs");
}

}  // namespace vorlintex::compilable
