// Text made of fixed pieces and values, for the writers of fixed text.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vorlintex {

// The pieces joined without separators.
inline std::string Join(std::initializer_list<std::string_view> pieces) {
  size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  std::string text;
  text.reserve(size + 2);
  for (std::string_view piece : pieces) text += piece;
  return text;
}

}  // namespace vorlintex
