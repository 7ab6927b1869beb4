#include "platform/memory_file_service.h"

#include <utility>

#include "contract/ascii.h"
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
constexpr char kInjected[] = "injected failure";

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
  MemoryTextStream(std::shared_ptr<MemoryFileSystem> files, std::string path, std::string key,
                   std::string data)
      : files_(std::move(files)),
        path_(std::move(path)),
        key_(std::move(key)),
        data_(std::move(data)) {}
  // A writing stream that appends to `target`, the file's contents in the store.
  MemoryTextStream(std::shared_ptr<MemoryFileSystem> files, std::string path, std::string key,
                   std::shared_ptr<std::string> target)
      : files_(std::move(files)),
        path_(std::move(path)),
        key_(std::move(key)),
        target_(std::move(target)) {}

  bool AtEndOfStream() override {
    return closed_ || read_failed_ || target_ != nullptr || position_ >= data_.size();
  }

  Status ReadLine(std::string* line) override {
    Status status = files_->CountStreamOperation(Operation::kRead, key_, path_);
    if (!status.ok()) {
      read_failed_ = true;
      return status;
    }
    if (closed_ || target_ != nullptr) return Status::Error(path_, kBadStream);
    if (read_failed_ || position_ >= data_.size()) {
      read_failed_ = true;
      return Status::Error(path_, kPastEnd);
    }
    size_t line_feed = data_.find('\n', position_);
    size_t end = line_feed == std::string::npos ? data_.size() : line_feed;
    size_t length = end - position_;
    if (line_feed != std::string::npos && length > 0 && data_[end - 1] == '\r') --length;
    line->assign(data_, position_, length);
    position_ = line_feed == std::string::npos ? data_.size() : line_feed + 1;
    return Status::OK();
  }

  Status WriteLine(std::string_view text) override {
    Status status = files_->CountStreamOperation(Operation::kWrite, key_, path_);
    if (!status.ok()) return status;
    if (closed_ || target_ == nullptr) return Status::Error(path_, kBadStream);
    files_->Append(target_.get(), text);
    return Status::OK();
  }

  Status Close() override {
    Status status = files_->CountStreamOperation(Operation::kClose, key_, path_);
    if (closed_) return Status::Error(path_, kBadStream);
    // Like close(2), a failing close still lets go of the file.
    closed_ = true;
    return status;
  }

 private:
  std::shared_ptr<MemoryFileSystem> files_;
  std::string path_;  // as the caller gave it, for statuses
  std::string key_;
  std::string data_;
  size_t position_ = 0;
  std::shared_ptr<std::string> target_;
  bool closed_ = false;
  bool read_failed_ = false;
};

class MemoryFileService : public TextFileService {
 public:
  explicit MemoryFileService(std::shared_ptr<MemoryFileSystem> files) : files_(std::move(files)) {}

  Status CreateFolder(const std::string& path) override { return files_->DoCreateFolder(path); }

  Status CreateTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) override {
    stream->reset();
    std::shared_ptr<std::string> contents;
    Status status = files_->DoCreateFile(path, &contents);
    if (!status.ok()) return status;
    *stream =
        std::make_unique<MemoryTextStream>(files_, path, WindowsPathKey(path), std::move(contents));
    return Status::OK();
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) override {
    stream->reset();
    std::string contents;
    Status status = files_->DoOpen(path, &contents);
    if (!status.ok()) return status;
    *stream =
        std::make_unique<MemoryTextStream>(files_, path, WindowsPathKey(path), std::move(contents));
    return Status::OK();
  }

  bool FileExists(const std::string& path) override { return files_->DoFileExists(path); }

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
  ListingPattern split = SplitListingPattern(pattern);
  names->clear();
  std::lock_guard<std::mutex> lock(mutex_);
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
    if (it->second.folder) continue;
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

void MemoryFileSystem::FailOn(Operation op, const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  fail_on_.emplace(op, WindowsPathKey(path));
}

void MemoryFileSystem::FailNthOperation(long n) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (n >= 1) fail_at_.insert(operation_count_ + n);
}

long MemoryFileSystem::OperationCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return operation_count_;
}

Status MemoryFileSystem::DoCreateFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  Status status = CountLocked(Operation::kCreateFolder, key, path);
  if (!status.ok()) return status;
  if (key.empty())
    return path.empty() ? Status::NotFound(path, kNoSuchFile)
                        : Status::AlreadyExists(path, kFileExists);
  if (FindLocked(key) != nullptr) return Status::AlreadyExists(path, kFileExists);
  if (!ParentIsFolderLocked(key)) {
    return FindLocked(ParentKey(key)) ? Status::IOError(path, kNotFolder)
                                      : Status::NotFound(path, kNoSuchFile);
  }
  Node node;
  node.folder = true;
  node.spelling = ChildSpellingLocked(key, LastPart(path));
  nodes_.emplace(key, std::move(node));
  return Status::OK();
}

Status MemoryFileSystem::DoCreateFile(const std::string& path,
                                      std::shared_ptr<std::string>* contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  Status status = CountLocked(Operation::kCreate, key, path);
  if (!status.ok()) return status;
  if (key.empty())
    return path.empty() ? Status::NotFound(path, kNoSuchFile) : Status::IOError(path, kIsFolder);
  auto it = nodes_.find(key);
  if (it != nodes_.end()) {
    if (it->second.folder) return Status::Error(path, kIsFolder);
    // Replaced under the existing file's own spelling; a stream still writing the old
    // contents keeps them to itself.
    it->second.contents = std::make_shared<std::string>();
    *contents = it->second.contents;
    return Status::OK();
  }
  if (!ParentIsFolderLocked(key)) {
    return FindLocked(ParentKey(key)) ? Status::IOError(path, kNotFolder)
                                      : Status::NotFound(path, kNoSuchFile);
  }
  Node node;
  node.spelling = ChildSpellingLocked(key, LastPart(path));
  node.contents = std::make_shared<std::string>();
  *contents = node.contents;
  nodes_.emplace(key, std::move(node));
  return Status::OK();
}

Status MemoryFileSystem::DoOpen(const std::string& path, std::string* contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  Status status = CountLocked(Operation::kOpen, key, path);
  if (!status.ok()) return status;
  const Node* node = key.empty() ? nullptr : FindLocked(key);
  if (node == nullptr) {
    bool parent_is_file = !key.empty() && !ParentIsFolderLocked(key) && FindLocked(ParentKey(key));
    return parent_is_file ? Status::IOError(path, kNotFolder) : Status::NotFound(path, kNoSuchFile);
  }
  if (node->folder) return Status::Error(path, kIsFolder);
  *contents = *node->contents;
  return Status::OK();
}

bool MemoryFileSystem::DoFileExists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = WindowsPathKey(path);
  const Node* node = key.empty() ? nullptr : FindLocked(key);
  return node != nullptr && !node->folder;
}

Status MemoryFileSystem::CountStreamOperation(Operation op, const std::string& key,
                                              const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  return CountLocked(op, key, path);
}

void MemoryFileSystem::Append(std::string* contents, std::string_view text) {
  std::lock_guard<std::mutex> lock(mutex_);
  contents->append(text);
  contents->append("\r\n");
}

Status MemoryFileSystem::CountLocked(Operation op, const std::string& key,
                                     const std::string& path) {
  ++operation_count_;
  // Most stores are told of no failure: then no failure set is searched (the search would copy
  // `key` into a lookup pair for every line read or written).
  if ((!fail_at_.empty() && fail_at_.erase(operation_count_) > 0) ||
      (!fail_on_.empty() && fail_on_.count({op, key}) > 0)) {
    return Status::Error(path, kInjected);
  }
  return Status::OK();
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

std::string MemoryFileSystem::ChildSpellingLocked(const std::string& key,
                                                  std::string_view name) const {
  std::string parent = ParentKey(key);
  const Node* folder = parent.empty() ? nullptr : FindLocked(parent);
  std::string spelling = folder == nullptr ? std::string() : folder->spelling + '\\';
  spelling += name;
  return spelling;
}

}  // namespace vorlintex::fs
