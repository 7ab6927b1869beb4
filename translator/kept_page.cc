#include "translator/kept_page.h"

#include <string_view>
#include <utility>

namespace vorlintex::translator {

constexpr char kNotForWriting[] = "the page is open for reading";
constexpr char kClosed[] = "the page is closed";

// The first pass's stream: the file's own, keeping each line it gives.
class KeptPage::KeepingStream final : public fs::TextStream {
 public:
  KeepingStream(KeptPage& page, std::unique_ptr<fs::TextStream> file)
      : page_(page), file_(std::move(file)) {}

  bool AtEndOfStream() override { return file_->AtEndOfStream(); }
  Status ReadLine(std::string* line) override {
    Status read = file_->ReadLine(line);
    if (!read.ok()) {
      keeping_ = false;
    } else if (keeping_) {
      if (page_.lines_.text().size() + line->size() > page_.largest_bytes_) {
        keeping_ = false;
        page_.lines_ = {};
        page_.line_ends_ = {};
      } else {
        page_.lines_.Add(*line);
        page_.line_ends_.push_back(file_->LastLineEnd());
      }
    }
    return read;
  }
  fs::LineEnd LastLineEnd() const override { return file_->LastLineEnd(); }
  Status WriteLine(std::string_view) override {
    keeping_ = false;
    return Status::IOError(page_.path_, kNotForWriting);
  }
  Status Close() override {
    // Only a reading that came to the file's end keeps the page: one that stopped short
    // holds part of it.
    const bool ended = keeping_ && file_->AtEndOfStream();
    Status closed = file_->Close();
    page_.whole_ = ended && closed.ok();
    keeping_ = false;
    return closed;
  }
  Status Abandon() override {
    keeping_ = false;
    return file_->Abandon();
  }

 private:
  KeptPage& page_;
  std::unique_ptr<fs::TextStream> file_;
  bool keeping_ = true;
};

// A later pass's stream over the kept lines.
class KeptPage::KeptStream final : public fs::TextStream {
 public:
  explicit KeptStream(const KeptPage& page) : page_(page) {}

  bool AtEndOfStream() override { return closed_ || next_ == page_.lines_.size(); }
  Status ReadLine(std::string* line) override {
    if (AtEndOfStream()) {
      line->clear();
      last_line_end_ = fs::LineEnd::kNone;
      return Status::IOError(page_.path_, closed_ ? kClosed : "the page has no more lines");
    }
    line->assign(page_.lines_.Line(next_));
    last_line_end_ = page_.line_ends_[next_];
    ++next_;
    return Status::OK();
  }
  fs::LineEnd LastLineEnd() const override { return last_line_end_; }
  Status WriteLine(std::string_view) override {
    return Status::IOError(page_.path_, kNotForWriting);
  }
  Status Close() override {
    if (closed_) return Status::IOError(page_.path_, kClosed);
    closed_ = true;
    return Status::OK();
  }
  Status Abandon() override { return Close(); }

 private:
  const KeptPage& page_;
  size_t next_ = 0;
  fs::LineEnd last_line_end_ = fs::LineEnd::kNone;
  bool closed_ = false;
};

std::unique_ptr<fs::TextStream> KeptPage::Keep(std::string path,
                                               std::unique_ptr<fs::TextStream> file) {
  path_ = std::move(path);
  lines_.Clear();
  line_ends_.clear();
  whole_ = false;
  if (file == nullptr) return nullptr;
  return std::make_unique<KeepingStream>(*this, std::move(file));
}

std::unique_ptr<fs::TextStream> KeptPage::Read() const {
  return std::make_unique<KeptStream>(*this);
}

}  // namespace vorlintex::translator
