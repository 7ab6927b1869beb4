#include "translator/line_reader.h"

namespace vorlintex::translator {

bool ReadNextLine(fs::TextStream* stream, std::string* line, FailureLog* failures) {
  if (stream == nullptr || stream->AtEndOfStream()) return false;
  Status status = stream->ReadLine(line);
  if (status.ok()) return true;
  if (failures != nullptr) failures->Record(Access::kRead, status);
  return false;
}

}  // namespace vorlintex::translator
