// Include directives of a source page: the directive test, the include file name and path,
// and the lookup and opening of the include file, each with its own file service object.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/text_file_service.h"
#include "translator/include_cache.h"

namespace vorlintex::translator {

// True when the page line contains "<!" and its test copy contains "#include", in any order
// and anywhere in the line. `line` may be the line as read, trimmed or normalised: the answer
// is the same.
bool IsIncludeDirective(std::string_view line);

// The text between the first and the second double quote of a directive line, in the letter
// case in which it was read; nothing when the line holds fewer than two double quotes (the
// directive is then ignored).
std::optional<std::string_view> IncludeFileName(std::string_view line);

// The source directory as posted, one "\", and the include file name unchanged.
std::string IncludePath(std::string_view source_dir, std::string_view file_name);

// One include file being read, with the file service object made for its directive, or from
// the lines an earlier read of it kept. When the file does not exist, missing() is true and
// nothing can be read. An include file that exists but cannot be opened or read is read as
// empty, or as ended at the failing read; the failure is recorded as a failed read.
class IncludeFile {
 public:
  IncludeFile(std::string path, std::unique_ptr<fs::TextFileService> service,
              std::unique_ptr<fs::TextStream> stream, bool missing, FailureLog* failures);
  // Read from lines kept by `cache` before.
  IncludeFile(std::string path, const KeptLines* kept);
  // Keeps the lines read in `cache` when the file is read to its end without a failure.
  void KeepIn(IncludeCache* cache) { keep_in_ = cache; }
  IncludeFile(IncludeFile&&) = default;
  IncludeFile& operator=(IncludeFile&&) = delete;
  ~IncludeFile() { Close(); }

  bool missing() const { return missing_; }
  const std::string& path() const { return path_; }

  // The next line into `line`; false at the end of the file.
  bool ReadLine(std::string* line);
  // Closes the include stream, then releases it and the file service object.
  void Close();

 private:
  std::string path_;
  std::unique_ptr<fs::TextFileService> service_;
  std::unique_ptr<fs::TextStream> stream_;
  bool missing_;
  FailureLog* failures_;
  const KeptLines* kept_ = nullptr;
  size_t next_kept_ = 0;
  IncludeCache* keep_in_ = nullptr;  // null once the file can no longer be kept
  KeptLines read_lines_;
  bool ended_ = false;  // read to its end
};

class IncludeResolver {
 public:
  // `cache` (may be null) holds the include files of the run read before.
  IncludeResolver(std::string source_dir, Env* env, FailureLog* failures,
                  IncludeCache* cache = nullptr)
      : source_dir_(std::move(source_dir)), env_(env), failures_(failures), cache_(cache) {}

  // The kept lines of the include file when an earlier read kept them. Otherwise makes a new
  // file service object and opens the include file with it; only an open that fails asks
  // whether the file exists.
  IncludeFile Open(std::string_view file_name) const;

  // A check of a page, not a run: a missing include file is reported and passed over, so
  // that one reading finds every missing include file of a page.
  void PassOverMissing() { pass_over_missing_ = true; }
  bool passes_over_missing() const { return pass_over_missing_; }

 private:
  std::string source_dir_;
  Env* env_;
  FailureLog* failures_;
  IncludeCache* cache_;
  bool pass_over_missing_ = false;
};

}  // namespace vorlintex::translator
