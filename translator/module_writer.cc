#include "translator/module_writer.h"

namespace vorlintex::translator {

void ModuleWriter::WriteLine(std::string_view text) {
  if (stream_ == nullptr) return;
  Record(stream_->WriteLine(text));
}

void ModuleWriter::Close() {
  if (stream_ == nullptr) return;
  Record(stream_->Close());
}

void ModuleWriter::Record(const Status& status) {
  if (!status.ok() && failures_ != nullptr) failures_->Record(Access::kWrite, status);
}

}  // namespace vorlintex::translator
