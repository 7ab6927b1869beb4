// Generation runs that aim at the same target folder take turns: their files would otherwise be
// written over each other line by line. Within a process the turn is a table of busy folders;
// between processes (two `vorlintex convert` at once, a web server's worker processes) it is
// the platform's turn of the folder (Env::TakeFolderTurn). Runs on different folders go on in
// parallel.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "contract/env.h"

namespace vorlintex::generator {

class TargetTurns {
 public:
  // Holds the turn of one folder until destroyed (or moved from).
  class Turn {
   public:
    Turn() = default;
    Turn(Turn&& other) noexcept;
    Turn& operator=(Turn&& other) noexcept;
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;
    ~Turn();

    bool held() const { return turns_ != nullptr; }
    // True when the turn holds among processes too: no other run of any process then writes
    // into the folder.
    bool among_processes() const { return between_processes_ != nullptr; }

   private:
    friend class TargetTurns;
    Turn(TargetTurns* turns, std::string key) : turns_(turns), key_(std::move(key)) {}
    void Release();

    TargetTurns* turns_ = nullptr;
    std::string key_;
    std::unique_ptr<FolderTurn> between_processes_;  // released before the turn in this process
  };

  TargetTurns() = default;
  TargetTurns(const TargetTurns&) = delete;
  TargetTurns& operator=(const TargetTurns&) = delete;

  // Takes the turn of the target folder `target_dir` in this process, then among processes
  // through `env`, waiting while another holder has either; with `wait` false it fails at once
  // instead, Busy, and *turn holds nothing. When the turn among processes cannot be had for
  // another reason (the folder is not there, the file system keeps no locks), *turn holds in
  // this process only and the call succeeds: the run goes on as it would without the platform.
  Status Take(Env& env, const std::string& target_dir, bool wait, Turn* turn);

  // The key of a target folder: its identity on disk when it exists, else the path as typed
  // with "/" taken as "\" and ASCII letters lower-cased.
  static std::string KeyOf(Env& env, const std::string& target_dir);

 private:
  void Give(const std::string& key);

  std::mutex mutex_;
  std::condition_variable released_;
  std::set<std::string> busy_;
};

}  // namespace vorlintex::generator
