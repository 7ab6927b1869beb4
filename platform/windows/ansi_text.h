// Text between the host's UTF-16 strings and the core's bytes, in the system's ANSI code page.
// A text the code page cannot carry both ways fails instead of arriving changed: a changed
// character in a path would make the wizard write somewhere else than asked.
#pragma once

#include <string>
#include <string_view>

#include "contract/status.h"

namespace vorlintex {

// `wide` (UTF-16) in the ANSI code page. `what` names the text in a failure.
Status WideToAnsi(std::wstring_view wide, const std::string& what, std::string* ansi);

// `ansi` in UTF-16, failing when the code page would not give the same bytes back.
Status AnsiToWide(std::string_view ansi, const std::string& what, std::wstring* wide);

}  // namespace vorlintex
