// A file a generation run writes. The run skips every failing file operation and goes on, so
// a failure on the file is recorded here, once, in the run's failure log under the file's
// path, and the caller goes on. A written line costs one call on the stream.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "contract/failure_log.h"
#include "contract/status.h"
#include "contract/text_file_service.h"

namespace vorlintex {

// Told every line written to a file, as it is written: a reader of what the run writes that
// needs no second reading of the file.
class LineTap {
 public:
  virtual ~LineTap() = default;
  virtual void Line(std::string_view text) = 0;
};

class OutputFile {
 public:
  // Creates (or replaces) the file at `path` through `files`. When the create fails, the
  // failure is recorded and every later line is dropped.
  OutputFile(fs::TextFileService& files, std::string path, FailureLog* log);
  // The file at `path`, already open for writing as `stream`; null for a file that could not
  // be created, whose failure the caller has recorded.
  OutputFile(std::string path, std::unique_ptr<fs::TextStream> stream, FailureLog* log)
      : path_(std::move(path)), stream_(std::move(stream)), log_(log), failed_(!stream_) {}
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // A file released while still open is closed, keeping what was written.
  ~OutputFile();

  void WriteLine(std::string_view text) {
    if (tap_ != nullptr) tap_->Line(text);
    if (stream_ == nullptr) return;
    if (Status written = stream_->WriteLine(text); !written.ok()) Fail(written);
  }
  // From now on every line written is told to `tap` too; null stops it.
  void SetTap(LineTap* tap) { tap_ = tap; }
  // Closes the file; later lines fail and are recorded.
  void Close();
  // Lets go of the file unfinished: it does not take its name, which keeps the file it had, or
  // none. A file not open (never created, or closed) is left as it is. A failure to remove what
  // was written is recorded; later lines fail and are recorded, as after Close.
  void Abandon();

  const std::string& path() const { return path_; }
  bool closed() const { return closed_; }
  // True when the file was created and Close has not been called.
  bool open() const { return stream_ != nullptr && !close_called_; }
  // True when the file was created, closed, and no operation on it failed.
  bool WrittenWithoutFailure() const { return closed_ && !failed_; }

 private:
  void Fail(const Status& status);

  std::string path_;
  std::unique_ptr<fs::TextStream> stream_;
  FailureLog* log_;
  LineTap* tap_ = nullptr;
  bool failed_ = false;
  bool close_called_ = false;
  bool closed_ = false;
};

}  // namespace vorlintex
