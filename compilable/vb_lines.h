// Visual Basic source lines as the compiler takes them: text sent by write statements, and
// lines kept within the 1,023 characters a line may hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::compilable {

// The longest line written: below the compiler's 1,023 characters, with room for " _".
inline constexpr size_t kLineLimit = 1000;

// Write statements that send `text` exactly: its bytes, and each line end as it stands (CR LF
// as vbCrLf, LF as vbLf). Bytes below 32 other than tab go as Chr(n). Each statement fits in
// kLineLimit.
void AppendTextWrites(std::string_view text, std::vector<std::string>* lines);

// `line` as one or more physical lines of at most kLineLimit characters, continued with " _"
// between them: cut at a space outside string literals, or inside a long literal by closing it
// and joining the rest with "&". A comment past the limit is shortened.
void AppendFitted(std::string_view line, std::vector<std::string>* lines);

}  // namespace vorlintex::compilable
