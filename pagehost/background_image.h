// The wizard pages' background, morvanebg.gif: the packaged file's bytes, compiled into the
// program (pagehost/CMakeLists.txt), so the page host needs no file beside it.
#pragma once

#include <string_view>

namespace vorlintex::pagehost {

inline constexpr char kBackgroundContentType[] = "image/gif";

// The bytes of packaging/morvanebg.gif as it was when the program was built.
std::string_view BackgroundGif();

}  // namespace vorlintex::pagehost
