// The class module stream as the translation writes it: a failed write loses its line, is
// recorded, and the translation goes on.
#pragma once

#include <string_view>

#include "component/failure_log.h"
#include "component/text_file_service.h"

namespace vorlintex::translator {

class ModuleWriter {
 public:
  // `stream` may be null (the class module could not be created): every line is then dropped.
  ModuleWriter(fs::TextStream* stream, FailureLog* failures)
      : stream_(stream), failures_(failures) {}

  void WriteLine(std::string_view text);
  void Close();

 private:
  void Record(const Status& status);

  fs::TextStream* stream_;
  FailureLog* failures_;
};

}  // namespace vorlintex::translator
