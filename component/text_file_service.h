// The text file service the generation run reads and writes every file through: a file
// service object that creates folders and text files and opens text files for reading, and
// the text streams it hands out. Lines are bytes; nothing is converted.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "component/status.h"

namespace vorlintex::fs {

// One open text file, for reading or for writing. A stream closes its file when destroyed,
// keeping what was written.
class TextStream {
 public:
  virtual ~TextStream() = default;

  // True when no line is left to read. Also true once a read has failed or the stream is
  // closed, so that a reading loop over a failing stream always ends.
  virtual bool AtEndOfStream() = 0;
  // The next line without its line end (LF, or CR LF). `line` is overwritten.
  virtual Status ReadLine(std::string* line) = 0;
  // Writes `text` followed by CR LF.
  virtual Status WriteLine(std::string_view text) = 0;
  // Closes the file; every later call on the stream fails.
  virtual Status Close() = 0;
};

// A file service object. Paths are used exactly as the caller built them; both "\" and "/"
// separate their parts.
class TextFileService {
 public:
  virtual ~TextFileService() = default;

  // Fails when the folder exists or its parent is missing.
  virtual Status CreateFolder(const std::string& path) = 0;
  // A new empty file, replacing one of that name, open for writing.
  virtual Status CreateTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) = 0;
  // An existing file, open for reading at its first line.
  virtual Status OpenTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) = 0;
  // True when an ordinary file exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace vorlintex::fs
