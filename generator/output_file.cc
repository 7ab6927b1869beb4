#include "generator/output_file.h"

#include <utility>

namespace vorlintex::generator {

Status FailedStream::ReadLine(std::string* line) {
  line->clear();
  return failure_;
}

std::unique_ptr<OutputFile> OutputFile::Create(fs::TextFileService& files, std::string path,
                                               FailureLog& log) {
  std::unique_ptr<fs::TextStream> stream;
  Status created = files.CreateTextFile(path, &stream);
  if (created.ok() && stream == nullptr) created = Status::Error(path, "no stream was opened");
  if (!created.ok()) stream = std::make_unique<FailedStream>(created);
  std::unique_ptr<OutputFile> file(new OutputFile(std::move(path), std::move(stream), log));
  if (!created.ok()) file->Checked(created);
  return file;
}

Status OutputFile::ReadLine(std::string* line) { return Checked(stream_->ReadLine(line)); }

Status OutputFile::WriteLine(std::string_view text) {
  // Every line of a class module comes through here: the outcome goes back as it came, not
  // copied, unless it is a failure.
  Status written = stream_->WriteLine(text);
  if (!written.ok()) written = Checked(written);
  return written;
}

Status OutputFile::Close() {
  Status closed = Checked(stream_->Close());
  if (closed.ok()) closed_ = true;
  return closed;
}

Status OutputFile::Checked(const Status& status) {
  if (status.ok()) return status;
  failed_ = true;
  Status failure = Status::Error(path_, status.reason());
  log_.Record(Access::kWrite, failure);
  return failure;
}

}  // namespace vorlintex::generator
