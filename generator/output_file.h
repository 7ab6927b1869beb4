// An output file of a generation run. A failing operation on it is recorded in the run's
// failure log under the file's path and otherwise skipped, so the run goes on; a file that
// could not be created gets a stream on which every call fails with the create's failure.
#pragma once

#include <memory>
#include <string>

#include "component/failure_log.h"
#include "component/text_file_service.h"

namespace vorlintex::generator {

// Every call fails with the same status; nothing is left to read.
class FailedStream : public fs::TextStream {
 public:
  explicit FailedStream(Status failure) : failure_(std::move(failure)) {}

  bool AtEndOfStream() override { return true; }
  Status ReadLine(std::string* line) override;
  Status WriteLine(std::string_view) override { return failure_; }
  Status Close() override { return failure_; }

 private:
  Status failure_;
};

class OutputFile : public fs::TextStream {
 public:
  // Creates (or replaces) the file at `path`; a failure of the create is recorded in `log`.
  static std::unique_ptr<OutputFile> Create(fs::TextFileService& files, std::string path,
                                            FailureLog& log);

  const std::string& path() const { return path_; }
  // True when the file was created, closed, and no operation on it failed.
  bool WrittenWithoutFailure() const { return closed_ && !failed_; }

  bool AtEndOfStream() override { return stream_->AtEndOfStream(); }
  Status ReadLine(std::string* line) override;
  Status WriteLine(std::string_view text) override;
  Status Close() override;

 private:
  OutputFile(std::string path, std::unique_ptr<fs::TextStream> stream, FailureLog& log)
      : path_(std::move(path)), stream_(std::move(stream)), log_(log) {}
  // The outcome of an operation on this file, with the file's path; a failure is recorded.
  Status Checked(const Status& status);

  std::string path_;
  std::unique_ptr<fs::TextStream> stream_;
  FailureLog& log_;
  bool failed_ = false;
  bool closed_ = false;
};

}  // namespace vorlintex::generator
