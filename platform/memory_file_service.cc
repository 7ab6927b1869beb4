#include "platform/memory_file_service.h"

#include <utility>

#include "contract/ascii.h"
#include "platform/temporary_name.h"
#include "platform/wildcard.h"
#include "platform/windows_path.h"

namespace vorlintex::fs {
namespace {

// The reasons the store gives, worded as the operating system words them.
constexpr char kNoSuchFile[] = "No such file or directory";
constexpr char kFileExists[] = "File exists";
constexpr char kIsFolder[] = "Is a directory";
constexpr char kNotFolder[] = "Not a directory";
constexpr char kBadStream[] = "Bad file descriptor";
constexpr char kPastEnd[] = "Input past end of file";
constexpr char kInvalid[] = "Invalid argument";

// As on disk, where every system call would cut such a path short.
bool HoldsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

std::string ParentKey(const std::string& key) {
  size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

std::string_view LastPart(std::string_view path) {
  std::vector<std::string_view> parts = SplitWindowsPath(path);
  return parts.empty() ? std::string_view() : parts.back();
}

std::string_view LastSpelledPart(const std::string& spelling) {
  size_t cut = spelling.rfind('\\');
  return cut == std::string::npos ? std::string_view(spelling)
                                  : std::string_view(spelling).substr(cut + 1);
}

}  // namespace

class MemoryTextStream : public TextStream {
 public:
  // A reading stream over `data`.
  MemoryTextStream(std::shared_ptr<MemoryFileSystem> files, std::string path, std::string data)
      : files_(std::move(files)), path_(std::move(path)), data_(std::move(data)) {}
  // A writing stream: its lines become the file's contents when it is closed.
  MemoryTextStream(std::shared_ptr<MemoryFileSystem> files, std::string path)
      : files_(std::move(files)), path_(std::move(path)), writing_(true) {}

  ~MemoryTextStream() override {
    if (writing_ && !closed_) Close().IgnoreError();
  }

  bool AtEndOfStream() override {
    return closed_ || read_failed_ || writing_ || position_ >= data_.size();
  }

  Status ReadLine(std::string* line) override {
    last_line_end_ = LineEnd::kNone;
    line->clear();
    if (closed_ || writing_) return Status::IOError(path_, kBadStream);
    if (read_failed_ || position_ >= data_.size()) {
      read_failed_ = true;
      return Status::IOError(path_, kPastEnd);
    }
    size_t line_feed = data_.find('\n', position_);
    size_t end = line_feed == std::string::npos ? data_.size() : line_feed;
    size_t length = end - position_;
    last_line_end_ = line_feed == std::string::npos ? LineEnd::kNone : LineEnd::kLf;
    if (line_feed != std::string::npos && length > 0 && data_[end - 1] == '\r') {
      --length;
      last_line_end_ = LineEnd::kCrLf;
    }
    line->assign(data_, position_, length);
    position_ = line_feed == std::string::npos ? data_.size() : line_feed + 1;
    return Status::OK();
  }

  LineEnd LastLineEnd() const override { return last_line_end_; }

  Status WriteLine(std::string_view text) override {
    if (closed_ || !writing_) return Status::IOError(path_, kBadStream);
    data_.append(text);
    data_.append("\r\n");
    return Status::OK();
  }

  Status Close() override {
    if (closed_) return Status::IOError(path_, kBadStream);
    closed_ = true;
    if (!writing_) return Status::OK();
    return files_->DoPutInPlace(path_, std::move(data_));
  }

  Status Abandon() override {
    if (closed_) return Status::IOError(path_, kBadStream);
    closed_ = true;
    data_.clear();
    return Status::OK();
  }

 private:
  std::shared_ptr<MemoryFileSystem> files_;
  std::string path_;  // as the caller gave it, for statuses
  std::string data_;  // reading: the file's bytes; writing: the lines written
  size_t position_ = 0;
  bool writing_ = false;
  bool closed_ = false;
  bool read_failed_ = false;
  LineEnd last_line_end_ = LineEnd::kNone;
};

class MemoryFileService : public TextFileService {
 public:
  explicit MemoryFileService(std::shared_ptr<MemoryFileSystem> files) : files_(std::move(files)) {}

  Status CreateFolder(const std::string& path) override {
    if (HoldsNul(path)) return Status::InvalidArgument(path, kInvalid);
    return files_->DoCreateFolder(path);
  }

  Status CreateTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return Status::InvalidArgument(path, kInvalid);
    Status status = files_->DoCreateFile(path);
    if (!status.ok()) return status;
    *stream = std::make_unique<MemoryTextStream>(files_, path);
    return Status::OK();
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return Status::InvalidArgument(path, kInvalid);
    std::string contents;
    Status status = files_->DoOpen(path, &contents);
    if (!status.ok()) return status;
    *stream = std::make_unique<MemoryTextStream>(files_, path, std::move(contents));
    return Status::OK();
  }

  bool FileExists(const std::string& path) override {
    return !HoldsNul(path) && files_->DoFileExists(path);
  }

 private:
  std::shared_ptr<MemoryFileSystem> files_;
};

std::shared_ptr<MemoryFileSystem> MemoryFileSystem::Create() {
  return std::make_shared<MemoryFileSystem>();
}

std::unique_ptr<TextFileService> MemoryFileSystem::NewService() {
  return std::make_unique<MemoryFileService>(shared_from_this());
}

void MemoryFileSystem::AddFile(const std::string& path, std::string contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  if (key.empty()) return;
  std::vector<std::string_view> parts = SplitWindowsPath(path);
  std::string folder;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (i > 0) folder += '\\';
    folder += parts[i];
  }
  AddFolderLocked(folder);
  Node& node = nodes_[key];
  if (node.spelling.empty() || node.folder) {
    node.spelling = ChildSpellingLocked(key, parts.back());
  }
  node.folder = false;
  node.contents = std::make_shared<std::string>(std::move(contents));
}

void MemoryFileSystem::AddFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  AddFolderLocked(path);
}

void MemoryFileSystem::AddFolderLocked(const std::string& path) {
  std::string key;
  for (std::string_view part : SplitWindowsPath(path)) {
    std::string child_key = key.empty() ? std::string() : key + '\\';
    child_key += AsciiLower(part);
    auto it = nodes_.find(child_key);
    if (it == nodes_.end()) {
      Node node;
      node.folder = true;
      node.spelling = ChildSpellingLocked(child_key, part);
      nodes_.emplace(child_key, std::move(node));
    } else if (!it->second.folder) {
      it->second.folder = true;
      it->second.contents.reset();
    }
    key = std::move(child_key);
  }
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Node* node = FindLocked(WindowsPathKey(path));
  if (node == nullptr || node->folder) return std::nullopt;
  return *node->contents;
}

bool MemoryFileSystem::FolderExists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  if (key.empty()) return !path.empty();  // the root, named by a separator
  const Node* node = FindLocked(key);
  return node != nullptr && node->folder;
}

Status MemoryFileSystem::ListFiles(const std::string& pattern,
                                   std::vector<std::string>* names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ListLocked(SplitListingPattern(pattern), false, names);
}

Status MemoryFileSystem::ListFolders(const std::string& folder,
                                     std::vector<std::string>* names) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ListLocked(SplitListingPattern(folder + "\\*"), true, names);
}

Status MemoryFileSystem::ListLocked(const ListingPattern& split, bool folders,
                                    std::vector<std::string>* names) const {
  names->clear();
  std::string folder_key = WindowsPathKey(split.folder);
  if (!folder_key.empty()) {
    const Node* folder = FindLocked(folder_key);
    if (folder == nullptr || !folder->folder) {
      return Status::NotFound(split.folder, kNoSuchFile);
    }
    folder_key += '\\';
  }
  for (auto it = nodes_.lower_bound(folder_key); it != nodes_.end(); ++it) {
    const std::string& key = it->first;
    if (key.compare(0, folder_key.size(), folder_key) != 0) break;
    if (key.find('\\', folder_key.size()) != std::string::npos) continue;  // deeper down
    if (it->second.folder != folders) continue;
    std::string_view name = LastSpelledPart(it->second.spelling);
    // Names starting with "." are hidden files on POSIX, and the listing leaves those out.
    if (name.empty() || name[0] == '.') continue;
    if (MatchesWildcard(split.name, name)) names->emplace_back(name);
  }
  SortAsWindowsListing(names);
  return Status::OK();
}

std::vector<std::string> MemoryFileSystem::AllFiles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> paths;
  for (const auto& [key, node] : nodes_) {
    if (!node.folder) paths.push_back(node.spelling);
  }
  return paths;
}

void MemoryFileSystem::MakeReadOnly(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = nodes_.find(WindowsPathKey(path));
  if (it != nodes_.end()) it->second.read_only = true;
}

Status MemoryFileSystem::RemoveFilesInTheMaking(const std::string& path, size_t* removed) {
  *removed = 0;
  std::lock_guard<std::mutex> lock(mutex_);
  std::string folder_key = WindowsPathKey(path);
  if (!folder_key.empty()) {
    const Node* folder = FindLocked(folder_key);
    if (folder == nullptr || !folder->folder) return Status::NotFound(path, kNoSuchFile);
    folder_key += '\\';
  }
  for (auto it = nodes_.lower_bound(folder_key); it != nodes_.end();) {
    const std::string& key = it->first;
    if (key.compare(0, folder_key.size(), folder_key) != 0) break;
    const bool here = key.find('\\', folder_key.size()) == std::string::npos;
    if (here && !it->second.folder && IsTemporaryName(LastSpelledPart(it->second.spelling))) {
      it = nodes_.erase(it);
      ++*removed;
    } else {
      ++it;
    }
  }
  return Status::OK();
}

Status MemoryFileSystem::DoCreateFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  if (key.empty())
    return path.empty() ? Status::NotFound(path, kNoSuchFile)
                        : Status::AlreadyExists(path, kFileExists);
  if (FindLocked(key) != nullptr) return Status::AlreadyExists(path, kFileExists);
  if (!ParentIsFolderLocked(key)) return MissingLocked(key, path);
  Node node;
  node.folder = true;
  node.spelling = ChildSpellingLocked(key, LastPart(path));
  nodes_.emplace(key, std::move(node));
  return Status::OK();
}

Status MemoryFileSystem::DoCreateFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  if (const Node* node = FindLocked(key); node != nullptr && node->read_only && !node->folder) {
    return Status::ReadOnly(path, kReadOnlyReason);
  }
  return CanTakeFileLocked(key, path);
}

Status MemoryFileSystem::DoPutInPlace(const std::string& path, std::string contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  if (Status status = CanTakeFileLocked(key, path); !status.ok()) return status;
  auto it = nodes_.find(key);
  if (it != nodes_.end()) {
    // Replaced under the existing file's own spelling.
    it->second.contents = std::make_shared<std::string>(std::move(contents));
    return Status::OK();
  }
  Node node;
  node.spelling = ChildSpellingLocked(key, LastPart(path));
  node.contents = std::make_shared<std::string>(std::move(contents));
  nodes_.emplace(key, std::move(node));
  return Status::OK();
}

Status MemoryFileSystem::CanTakeFileLocked(const std::string& key, const std::string& path) const {
  if (key.empty())
    return path.empty() ? Status::NotFound(path, kNoSuchFile) : Status::IOError(path, kIsFolder);
  auto it = nodes_.find(key);
  if (it != nodes_.end()) {
    return it->second.folder ? Status::IOError(path, kIsFolder) : Status::OK();
  }
  if (!ParentIsFolderLocked(key)) return MissingLocked(key, path);
  return Status::OK();
}

Status MemoryFileSystem::DoOpen(const std::string& path, std::string* contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  const Node* node = key.empty() ? nullptr : FindLocked(key);
  if (node == nullptr) return MissingLocked(key, path);
  if (node->folder) return Status::IOError(path, kIsFolder);
  *contents = *node->contents;
  return Status::OK();
}

bool MemoryFileSystem::DoFileExists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  const Node* node = key.empty() ? nullptr : FindLocked(key);
  return node != nullptr && !node->folder;
}

Status MemoryFileSystem::MissingLocked(const std::string& key, const std::string& path) const {
  for (std::string folder = ParentKey(key); !folder.empty(); folder = ParentKey(folder)) {
    if (const Node* node = FindLocked(folder)) {
      return Status::NotFound(path, node->folder ? kNoSuchFile : kNotFolder);
    }
  }
  return Status::NotFound(path, kNoSuchFile);
}

const MemoryFileSystem::Node* MemoryFileSystem::FindLocked(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryFileSystem::ParentIsFolderLocked(const std::string& key) const {
  std::string parent = ParentKey(key);
  if (parent.empty()) return true;
  const Node* node = FindLocked(parent);
  return node != nullptr && node->folder;
}

std::string MemoryFileSystem::Spelling(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key;
  std::string spelling;
  bool found = true;
  for (std::string_view part : SplitWindowsPath(path)) {
    if (!key.empty()) key += '\\';
    key += AsciiLower(part);
    const Node* node = found ? FindLocked(key) : nullptr;
    found = node != nullptr;
    if (found) {
      spelling = node->spelling;
    } else {
      if (!spelling.empty()) spelling += '\\';
      spelling += part;
    }
  }
  return spelling;
}

std::string MemoryFileSystem::ChildSpellingLocked(const std::string& key,
                                                  std::string_view name) const {
  std::string parent = ParentKey(key);
  const Node* folder = parent.empty() ? nullptr : FindLocked(parent);
  std::string spelling = folder == nullptr ? std::string() : folder->spelling + '\\';
  spelling += name;
  return spelling;
}

}  // namespace vorlintex::fs
