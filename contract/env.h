// The platform services the component needs beyond the page host: file service objects, the
// folder listing, the registry value that locates the compiler, the Windows directory, the
// identity of a folder on disk, a folder's turn among the processes that write into it, and
// the spelling of a path in messages. One real implementation per platform (platform/), and an
// in-memory one for tests. Safe to call from several threads at once.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/status.h"
#include "contract/text_file_service.h"

namespace vorlintex {

// The reason of a folder's turn that another holder has, for a caller that would not wait.
inline constexpr char kFolderBusyReason[] = "another run is writing into this folder";

// The turn of a folder among processes, given back when destroyed.
class FolderTurn {
 public:
  virtual ~FolderTurn() = default;
};

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

  // Takes the turn of the existing folder `path` among the processes of this machine that ask
  // for it here (in memory: among every Env over one store), and stores it in *turn; it is
  // held until that is destroyed, on the thread that took it. While another holder has the
  // turn, waits for it, or with `wait` false fails at once. On failure *turn is null: Busy when
  // `wait` is false and another holder has it, NotFound when `path` names no existing folder,
  // IOError when the system cannot lock the folder (a file system without locks). A process
  // takes each folder's turn once at a time (generator/target_turns.h sees to it): a second
  // take in the same process may wait for the first.
  virtual Status TakeFolderTurn(const std::string& path, bool wait,
                                std::unique_ptr<FolderTurn>* turn) = 0;

  // Removes from the folder `path` the files in the making (the names this program writes a
  // file under beside its own before renaming it: ".vorlintex-", 16 hexadecimal digits,
  // ".tmp") that runs killed midway left there, and no other file; one still being written
  // (whose writer holds its lock on POSIX, that any program has open on Windows) is kept. For
  // the holder of the folder's turn. Stores in *removed how many went. NotFound when `path`
  // names no existing folder, IOError when it cannot be read; a file that cannot be removed is
  // kept and not counted.
  virtual Status RemoveFilesInTheMaking(const std::string& path, size_t* removed) = 0;
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
  virtual std::string DisplayPathAsOnDisk(const std::string& path) = 0;
};

}  // namespace vorlintex
