// The text file service the generation run reads and writes every file through: a file
// service object that creates folders and text files and opens text files for reading, and
// the text streams it hands out. Lines are bytes; nothing is converted.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "contract/status.h"

namespace vorlintex::fs {

// How the last line read ended: a page sent as it stands must send its line ends as they are.
enum class LineEnd : unsigned char { kNone, kLf, kCrLf };

// One open text file, for reading or for writing. A stream closes its file when destroyed,
// keeping what was written. Failures are IOError unless said otherwise.
class TextStream {
 public:
  virtual ~TextStream() = default;

  // True when no line is left to read. Also true once a read has failed or the stream is
  // closed, so that a reading loop over a failing stream always ends.
  virtual bool AtEndOfStream() = 0;
  // Stores in *line the next line without its line end (LF, or CR LF). On failure *line is
  // empty.
  virtual Status ReadLine(std::string* line) = 0;
  // The line end of the line the last ReadLine gave: kNone for a last line without one, or
  // when nothing was read. A stream that cannot tell says kCrLf, the line end of the sites.
  virtual LineEnd LastLineEnd() const { return LineEnd::kCrLf; }
  // Writes `text` followed by CR LF. After a failed write the file will not take its name.
  virtual Status WriteLine(std::string_view text) = 0;
  // Closes the file; every later call on the stream fails. A written file takes its name only
  // here, and only when every write and the close succeeded; otherwise the close fails and the
  // name keeps the file it had, or none.
  virtual Status Close() = 0;
  // Closes the file without letting what was written take its name: the name keeps the file
  // it had, or none, and nothing of the new file is left beside it. On a stream being read, the
  // same as Close. Every later call on the stream fails. Fails when the stream was closed
  // before, or when the new file could not be removed (the name keeps its file even then).
  virtual Status Abandon() = 0;
};

// A file service object. Paths are used exactly as the caller built them; both "\" and "/"
// separate their parts. Every failure names the path it was given. A folder of the path that
// is an ordinary file is no folder: the path is NotFound, as when that folder is missing (the
// reason then says "Not a directory"). A path holding a NUL byte, which the system would cut
// short, is InvalidArgument.
class TextFileService {
 public:
  virtual ~TextFileService() = default;

  // Creates the folder `path`. AlreadyExists when something of that name exists, NotFound when
  // its parent is missing or a file, IOError for any other refusal.
  virtual Status CreateFolder(const std::string& path) = 0;
  // A new empty file, open for writing, that replaces whatever has that name (a link is
  // replaced, not followed) when it is closed. On success stores the stream in *stream; on
  // failure stores null (NotFound when the folder is missing or a file, IOError otherwise, a
  // folder of that name included).
  virtual Status CreateTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) = 0;
  // An existing file, open for reading at its first line. On success stores the stream in
  // *stream; on failure stores null (NotFound when there is no such file, IOError when it
  // cannot be opened, a folder of that name included).
  virtual Status OpenTextFile(const std::string& path, std::unique_ptr<TextStream>* stream) = 0;
  // True when an ordinary file exists at `path`; false also when that cannot be told.
  virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace vorlintex::fs
