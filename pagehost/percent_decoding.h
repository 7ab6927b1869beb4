// Percent-decoding, for request paths and form fields alike: "%XY" is the byte XY, and no
// character set is converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlintex::pagehost {

// What a "+" stands for: itself in a path, a space in a form field or query string.
enum class PlusSign { kKept, kSpace };

// `text` with each "%XY" (two hexadecimal digits) made the byte XY, and each "+" a space when
// `plus` says so. A "%" without two hexadecimal digits after it stays as it is; `malformed_at`,
// when given, receives the offset of the first such "%", or npos when there is none.
std::string PercentDecoded(std::string_view text, PlusSign plus, size_t* malformed_at = nullptr);

}  // namespace vorlintex::pagehost
