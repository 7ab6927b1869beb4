// Form fields as browsers send them: application/x-www-form-urlencoded bodies and query
// strings. Bytes pass through as they are: "+" is a space, "%XY" the byte XY, and no character
// set is converted.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contract/status.h"

namespace vorlintex::pagehost {

using FormFields = std::vector<std::pair<std::string, std::string>>;

// Decodes one name or value. A "%" not followed by two hexadecimal digits is a failure, and so
// is a NUL byte, raw or as "%00".
Status PercentDecode(std::string_view text, std::string* decoded);

// Splits `body` at "&" into name=value fields, in their order; empty pieces are skipped and a
// piece without "=" is a name with an empty value. Appends to `fields`; on failure (malformed
// percent-encoding) `fields` holds the fields before the bad one.
Status ParseFormBody(std::string_view body, FormFields* fields);

}  // namespace vorlintex::pagehost
