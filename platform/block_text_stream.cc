#include "platform/block_text_stream.h"

#include <cstring>
#include <utility>

namespace vorlintex {
namespace {

constexpr char kPastEnd[] = "Input past end of file";

}  // namespace

BlockTextStream::BlockTextStream(std::string path, bool writing)
    : path_(std::move(path)),
      writing_(writing),
      buffer_(new char[writing ? kFirstWriteBlockSize : kBlockSize]),
      capacity_(writing ? kFirstWriteBlockSize : kBlockSize) {}

bool BlockTextStream::AtEndOfStream() {
  if (closed_ || writing_) return true;
  return !Fill();
}

Status BlockTextStream::ReadLine(std::string* line) {
  line->clear();
  last_line_end_ = fs::LineEnd::kNone;
  if (closed_ || writing_) return Misuse();
  if (!Fill()) return read_failed_ ? read_error_ : Status::Error(path_, kPastEnd);
  while (true) {
    const char* start = buffer_.get() + begin_;
    size_t available = end_ - begin_;
    const void* line_feed = std::memchr(start, '\n', available);
    if (line_feed != nullptr) {
      size_t length = static_cast<const char*>(line_feed) - start;
      line->append(start, length);
      begin_ += length + 1;
      // The CR of a CR LF may have come at the end of the previous block.
      last_line_end_ = fs::LineEnd::kLf;
      if (!line->empty() && line->back() == '\r') {
        line->pop_back();
        last_line_end_ = fs::LineEnd::kCrLf;
      }
      return Status::OK();
    }
    line->append(start, available);
    begin_ = end_;
    // A last line without a line end is still a line.
    if (!Fill()) return read_failed_ ? read_error_ : Status::OK();
  }
}

Status BlockTextStream::WriteLine(std::string_view text) {
  if (closed_ || !writing_) return Misuse();
  if (!write_error_.ok()) return write_error_;
  const size_t needed = end_ + text.size() + 2;
  if (needed > capacity_ && capacity_ < kBlockSize) Grow(needed);
  if (needed > capacity_) {
    // Full at kBlockSize: written out.
    size_t pending = end_;
    end_ = 0;
    Status flushed = Write(buffer_.get(), pending);
    if (!flushed.ok()) return flushed;
    if (text.size() + 2 > kBlockSize) {
      Status written = Write(text.data(), text.size());
      if (!written.ok()) return written;
      text = {};
    }
  }
  if (!text.empty()) std::memcpy(buffer_.get() + end_, text.data(), text.size());
  end_ += text.size();
  buffer_[end_++] = '\r';
  buffer_[end_++] = '\n';
  return Status::OK();
}

Status BlockTextStream::Finish() {
  closed_ = true;
  Status status;
  if (writing_) status = write_error_.ok() ? Write(buffer_.get(), end_) : write_error_;
  end_ = 0;
  buffer_.reset();
  return status;
}

void BlockTextStream::Drop() {
  closed_ = true;
  end_ = 0;
  buffer_.reset();
}

bool BlockTextStream::Fill() {
  if (begin_ < end_) return true;
  if (at_end_ || read_failed_) return false;
  begin_ = end_ = 0;
  size_t count = 0;
  bool last = false;
  Status read = ReadBlock(buffer_.get(), kBlockSize, &count, &last);
  if (!read.ok()) {
    read_failed_ = true;
    read_error_ = std::move(read);
    return false;
  }
  end_ = count;
  at_end_ = count == 0 || last;
  return count > 0;
}

void BlockTextStream::Grow(size_t needed) {
  size_t capacity = capacity_;
  while (capacity < needed && capacity < kBlockSize) capacity *= 2;
  std::unique_ptr<char[]> larger(new char[capacity]);
  std::memcpy(larger.get(), buffer_.get(), end_);
  buffer_ = std::move(larger);
  capacity_ = capacity;
}

Status BlockTextStream::Write(const char* data, size_t size) {
  Status written = WriteBlock(data, size);
  if (!written.ok()) write_error_ = written;
  return written;
}

}  // namespace vorlintex
