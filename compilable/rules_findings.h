// What the compilable rules could not convert, or converted to something that will not
// compile, told as the translation decides it.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::compilable {

enum class RulesFinding : unsigned char {
  kNoEquivalent,        // Eval, Execute, ExecuteGlobal or GetRef: kept, and will not compile
  kForeignScript,       // a server script block in another language: kept, will not compile
  kEncodedScript,       // script encoded for the script engine (#@~^): kept, will not compile
  kIncludeCycle,        // an include file that includes itself, directly or not: not read again
  kMissingInclude,      // the include file does not exist
  kIncludeOutside,      // an include path that climbs out of the folders the run reads: not read
  kProcedureRedefined,  // a second, different definition of one procedure: not written
  kClassRedefined,      // a second, different definition of one class: not written
  kProcedureNotClosed,  // a procedure or class whose end never comes: closed at the file's end
  kProgIdTooLong,       // the DLL and class names make a ProgID over COM's 39 characters
  kBlockTooLarge,       // one block of the page is larger than a procedure may be
};

// A short name for reports, such as "no-equivalent".
std::string_view RulesFindingName(RulesFinding finding);

class RulesObserver {
 public:
  virtual ~RulesObserver() = default;
  // `file` is the page or include file's path as the run builds it, `line` 1-based; `detail`
  // names what is concerned (the word, the include path, the procedure's name).
  virtual void Found(RulesFinding finding, std::string_view file, int line,
                     std::string_view detail) = 0;
  // The include directive at `line` of the file `including` is followed to the file at `path`;
  // what is told until the matching IncludeEnds is of that file or of files it includes.
  virtual void IncludeBegins(std::string_view including, int line, std::string_view path) {
    (void)including, (void)line, (void)path;
  }
  virtual void IncludeEnds() {}
};

}  // namespace vorlintex::compilable
