// A text stream over a file read and written in blocks of the stream's own buffer, so a line
// costs no system call and no allocation. Lines are split at LF (a CR before it is dropped) and
// written with CR LF; the system underneath only moves blocks of bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "contract/status.h"
#include "contract/text_file_service.h"

namespace vorlintex {

class BlockTextStream : public fs::TextStream {
 public:
  static constexpr size_t kBlockSize = 64 * 1024;
  // A writing stream's buffer starts this large and doubles up to kBlockSize as the lines
  // need: most files a run writes are a few hundred bytes, and a run holds many open at once.
  static constexpr size_t kFirstWriteBlockSize = 4 * 1024;

  bool AtEndOfStream() override;
  Status ReadLine(std::string* line) override;
  fs::LineEnd LastLineEnd() const override { return last_line_end_; }
  Status WriteLine(std::string_view text) override;

 protected:
  // `path` as the caller gave it, for statuses.
  BlockTextStream(std::string path, bool writing);

  // Reads up to `capacity` bytes into `into`: the count read, 0 at the end of the file. Sets
  // `*last` when the file is known to end with these bytes, sparing the read that would say so.
  virtual Status ReadBlock(char* into, size_t capacity, size_t* count, bool* last) = 0;
  // Writes all of `data`, or fails.
  virtual Status WriteBlock(const char* data, size_t size) = 0;
  // What using a closed stream, or one of the other direction, gives.
  virtual Status Misuse() const = 0;

  // For Close: marks the stream closed, and for a writing stream writes what is buffered
  // (unless a write failed before, whose failure it gives); then lets go of the buffer.
  Status Finish();
  // For Abandon: marks the stream closed and lets go of the buffer, writing nothing.
  void Drop();

  const std::string& path() const { return path_; }
  bool writing() const { return writing_; }
  bool closed() const { return closed_; }

 private:
  // True when unread bytes are in the buffer, reading the next block when needed.
  bool Fill();
  Status Write(const char* data, size_t size);
  // A writing stream's larger buffer for `needed` bytes, up to kBlockSize; what it holds kept.
  void Grow(size_t needed);

  const std::string path_;
  const bool writing_;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_;   // of buffer_
  size_t begin_ = 0;  // reading: the unread bytes are [begin_, end_)
  size_t end_ = 0;    // writing: the bytes not yet written are [0, end_)
  bool closed_ = false;
  bool at_end_ = false;
  bool read_failed_ = false;
  fs::LineEnd last_line_end_ = fs::LineEnd::kNone;
  Status read_error_;
  // After a failed write the file has a hole; every later line fails the same way.
  Status write_error_;
};

}  // namespace vorlintex
