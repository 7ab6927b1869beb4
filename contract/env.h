// The platform services the component needs beyond the page host: file service objects, the
// folder listing, the registry value that locates the compiler, the Windows directory, and
// the identity of a folder on disk, and the spelling of a path in messages. One real implementation
// per platform (platform/), and an in-memory one for tests. Safe to call from several threads at
// once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/status.h"
#include "contract/text_file_service.h"

namespace vorlintex {

class Env {
 public:
  virtual ~Env() = default;

  // Makes a new file service object ("Scripting.FileSystemObject"). Cheap: the run makes one,
  // and one more for every include directive it resolves. On success stores the object in
  // *service; on failure stores null and returns the failure.
  virtual Status NewFileService(std::unique_ptr<fs::TextFileService>* service) = 0;

  // Stores in *names the names (no folder) of the ordinary files that match `pattern`, a
  // folder path followed by a file name pattern with "*" and "?", in the order a Windows
  // listing gives them. On failure *names is empty and the status tells why: NotFound when
  // the folder does not exist (or names a file), IOError when it exists but cannot be read.
  virtual Status ListFiles(const std::string& pattern, std::vector<std::string>* names) = 0;

  // Stores in *names the names (no folder) of the folders directly inside `folder`, in the
  // order a Windows listing gives them. Hidden folders (names beginning with ".") and links to
  // folders are left out, so that a walk down these listings ends and stays inside `folder`.
  // On failure *names is empty and the status tells why: NotFound when `folder` does not exist
  // (or names a file), IOError when it exists but cannot be read.
  virtual Status ListFolders(const std::string& folder, std::vector<std::string>* names) = 0;

  // The default value of HKEY_CLASSES_ROOT\`subkey` when the key exists and its default value
  // is a plain string; the text without its terminating NUL. Nothing when the key or its
  // value is missing, is not a string, or the registry cannot be read: the caller has the
  // same answer for all of them.
  virtual std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) = 0;

  // The Windows directory, without a trailing separator; empty when it cannot be had.
  virtual std::string WindowsDirectory() = 0;

  // A text that is equal for two paths exactly when they name the same existing folder
  // (separators mapped, letter case resolved, links followed); nothing when `path` names no
  // existing folder or it cannot be looked at.
  virtual std::optional<std::string> FolderIdentity(const std::string& path) = 0;

  // `path`, built with "\" between its parts as the run and its pages write paths, spelled as
  // this system's user and shell spell it, for the messages the command line prints: on POSIX
  // each "\" is a "/" (the POSIX file service reads both as separators, so the spelled path
  // names the same file); on Windows and in memory it is `path` unchanged. Cannot fail.
  virtual std::string DisplayPath(const std::string& path) const = 0;

  // `path` as DisplayPath spells it, and further each part that exists spelled as it is on
  // disk (letter case included), so that a finding names the file an editor opens even when
  // the page spelled its include in another case. It looks at the disk, so it is for the few
  // paths a report names, not for every message. Never fails: the parts from the first one
  // that cannot be found are kept as given.
  virtual std::string ShownPath(const std::string& path) = 0;
};

}  // namespace vorlintex
