// Values typed by the user or given by the system go into the rendered pages escaped, so a
// folder name holding "&" or "<" cannot break or inject mark-up.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::html {

// `text` with & < > " as &amp; &lt; &gt; &quot;; every other byte unchanged.
std::string HtmlEscape(std::string_view text);

}  // namespace vorlintex::html
