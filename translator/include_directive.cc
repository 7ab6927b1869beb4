#include "translator/include_directive.h"

#include "translator/byte_search.h"
#include "translator/keyword_search.h"
#include "translator/line_reader.h"

namespace vorlintex::translator {

bool IsIncludeDirective(std::string_view line) {
  // "#include" first: its "#" is rare in a page, where "<" is in nearly every line.
  static constexpr Keyword kIncludeWord("#include");
  return kIncludeWord.In(line) && Contains(line, "<!");
}

std::optional<std::string_view> IncludeFileName(std::string_view line) {
  size_t first_quote = line.find('"');
  if (first_quote == std::string_view::npos) return std::nullopt;
  size_t second_quote = line.find('"', first_quote + 1);
  if (second_quote == std::string_view::npos) return std::nullopt;
  return line.substr(first_quote + 1, second_quote - first_quote - 1);
}

std::string IncludePath(std::string_view source_dir, std::string_view file_name) {
  std::string path;
  path.reserve(source_dir.size() + 1 + file_name.size());
  path.append(source_dir);
  path.push_back('\\');
  path.append(file_name);
  return path;
}

IncludeFile::IncludeFile(std::string path, std::unique_ptr<fs::TextFileService> service,
                         std::unique_ptr<fs::TextStream> stream, bool missing, FailureLog* failures)
    : path_(std::move(path)),
      service_(std::move(service)),
      stream_(std::move(stream)),
      missing_(missing),
      failures_(failures) {}

IncludeFile::IncludeFile(std::string path, const KeptLines* kept)
    : path_(std::move(path)), missing_(false), failures_(nullptr), kept_(kept) {}

bool IncludeFile::ReadLine(std::string* line) {
  if (kept_ != nullptr) {
    if (next_kept_ == kept_->size()) return false;
    line->assign(kept_->Line(next_kept_++));
    return true;
  }
  if (stream_ != nullptr && stream_->AtEndOfStream()) {
    ended_ = true;
    Close();
    return false;
  }
  if (ReadNextLine(stream_.get(), line, failures_)) {
    if (keep_in_ != nullptr) {
      read_lines_.Add(*line);
      if (!keep_in_->HasRoomFor(read_lines_.bytes())) {
        keep_in_ = nullptr;
        read_lines_ = {};
      }
    }
    return true;
  }
  // Failed, or never opened: drop the stream so that a failing one is never asked again. Such
  // a file is not kept, so the next page tries it again.
  Close();
  return false;
}

void IncludeFile::Close() {
  if (stream_ != nullptr) {
    // Only read from, so a failing close loses nothing; still the user hears of it.
    Status closed = stream_->Close();
    if (failures_ != nullptr) failures_->Record(Access::kRead, closed);
    stream_.reset();
    // Only a file read to its end is kept: one whose reader stopped early is not whole.
    if (closed.ok() && keep_in_ != nullptr && ended_) {
      keep_in_->Keep(path_, std::move(read_lines_));
    }
    keep_in_ = nullptr;
  }
  service_.reset();
}

IncludeFile IncludeResolver::Open(std::string_view file_name) const {
  std::string path = IncludePath(source_dir_, file_name);
  if (cache_ != nullptr) {
    if (const KeptLines* kept = cache_->Find(path)) {
      return IncludeFile(std::move(path), kept);
    }
  }
  auto record = [this](const Status& status) {
    if (failures_ != nullptr) failures_->Record(Access::kRead, status);
  };
  std::unique_ptr<fs::TextFileService> service;
  Status made = env_ != nullptr ? env_->NewFileService(&service)
                                : Status::Error("Scripting.FileSystemObject", "no platform");
  if (!made.ok() || service == nullptr) {
    // Without a file service object the include file cannot even be looked up; it is read
    // as empty rather than reported missing, since nothing says that it is missing.
    record(Status::Error(path, made.ok() ? "no file service object" : made.reason()));
    return IncludeFile(std::move(path), nullptr, nullptr, false, failures_);
  }
  // The open says whether the file is there; only a failed one asks again, so that whatever
  // is not an ordinary file to open (a folder of that name, a name that cannot be looked up)
  // is missing, as the host would find it.
  std::unique_ptr<fs::TextStream> stream;
  Status opened = service->OpenTextFile(path, &stream);
  if (!opened.ok()) {
    stream.reset();
    if (opened.code() == Status::Code::kNotFound || !service->FileExists(path)) {
      return IncludeFile(std::move(path), nullptr, nullptr, true, failures_);
    }
    record(opened);
  }
  const bool opened_ok = stream != nullptr;
  IncludeFile include(std::move(path), std::move(service), std::move(stream), false, failures_);
  if (opened_ok && cache_ != nullptr) include.KeepIn(cache_);
  return include;
}

}  // namespace vorlintex::translator
