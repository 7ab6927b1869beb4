#include "compilable/rules_findings.h"

namespace vorlintex::compilable {

std::string_view RulesFindingName(RulesFinding finding) {
  switch (finding) {
    case RulesFinding::kNoEquivalent:
      return "no-equivalent";
    case RulesFinding::kEncodedScript:
      return "encoded-script";
    case RulesFinding::kForeignScript:
      return "foreign-script";
    case RulesFinding::kIncludeCycle:
      return "include-cycle";
    case RulesFinding::kMissingInclude:
      return "missing-include";
    case RulesFinding::kIncludeOutside:
      return "include-outside";
    case RulesFinding::kProcedureRedefined:
      return "procedure-redefined";
    case RulesFinding::kClassRedefined:
      return "class-redefined";
    case RulesFinding::kProcedureNotClosed:
      return "procedure-not-closed";
    case RulesFinding::kProgIdTooLong:
      return "progid-too-long";
    case RulesFinding::kBlockTooLarge:
      return "block-too-large";
  }
  return "unknown";
}

}  // namespace vorlintex::compilable
