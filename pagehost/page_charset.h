// The wizard's pages declare iso-8859-1, which browsers read and post as Windows-1252, while
// the core and a Linux file system spell names in UTF-8. The page host converts at its edge:
// what a page posts on the way in, what a page writes on the way out, so that a folder named
// outside ASCII works in the wizard as it does from the shell.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::pagehost {

// A posted value in UTF-8: each byte read as Windows-1252 (the five bytes that code page leaves
// undefined, as the C1 controls of their number, as browsers read them), then each "&#N;" or
// "&#xH;" whose character Windows-1252 cannot carry turned into that character: a browser posts
// such a character of an iso-8859-1 form as that reference. A reference to a character the page
// can carry, or to none (0, a surrogate, past U+10FFFF), is text the user typed and stays.
std::string PostedToUtf8(std::string_view posted);

// UTF-8 text for a page in Windows-1252: each character it can carry as its byte, every other
// as "&#N;" (decimal), which the browser shows as the character and posts back as that text.
// Bytes that are not UTF-8 pass unchanged, as the page was written before.
std::string Utf8ToPage(std::string_view text);

}  // namespace vorlintex::pagehost
