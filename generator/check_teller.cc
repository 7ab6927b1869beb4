#include "generator/check_teller.h"

namespace vorlintex::generator::check {

size_t KindOf(compilable::RulesFinding finding) {
  using compilable::RulesFinding;
  if (finding == RulesFinding::kMissingInclude) return kMissingInclude;
  const size_t at = static_cast<size_t>(finding);
  return kFirstRulesKind + at - (at > static_cast<size_t>(RulesFinding::kMissingInclude) ? 1 : 0);
}

std::string MissingIncludeMessage(std::string_view file, bool keep_going) {
  return "the include file " + std::string(file) +
         (keep_going ? " does not exist: a run that keeps going leaves this page out"
                     : " does not exist: a run stops at this page");
}

Finding FileFinding(std::string_view file, size_t kind, std::string_view source) {
  return Finding{file, file.empty() ? 0 : 1, kind, FindingKinds()[kind].what, source, "", {}, 0};
}

}  // namespace vorlintex::generator::check
