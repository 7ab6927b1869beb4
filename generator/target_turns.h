// Generation runs in one process that aim at the same target folder take turns: their files
// would otherwise be written over each other line by line. Runs on different folders go on
// in parallel. Where several processes serve the wizard (a web server's worker processes), the
// platform can make the turns hold between them too.
#pragma once

#include <condition_variable>
#include <functional>
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

   private:
    friend class TargetTurns;
    Turn(TargetTurns* turns, std::string key) : turns_(turns), key_(std::move(key)) {}
    void Release();

    TargetTurns* turns_ = nullptr;
    std::string key_;
    std::shared_ptr<void> between_processes_;  // released before the turn in this process
  };

  // Waits for the turn of a key among processes and holds it until the result is released;
  // null when it cannot be had, and the turn then holds in this process only.
  using ProcessTurnTaker = std::function<std::shared_ptr<void>(const std::string& key)>;

  TargetTurns() = default;
  explicit TargetTurns(ProcessTurnTaker take_process_turn)
      : take_process_turn_(std::move(take_process_turn)) {}
  TargetTurns(const TargetTurns&) = delete;
  TargetTurns& operator=(const TargetTurns&) = delete;

  // Waits until no other holder has the turn of `key`, then takes it.
  Turn Take(const std::string& key);

  // The key of a target folder: its identity on disk when it exists, else the path as typed
  // with "/" taken as "\" and ASCII letters lower-cased.
  static std::string KeyOf(Env& env, const std::string& target_dir);

 private:
  void Give(const std::string& key);

  std::mutex mutex_;
  std::condition_variable released_;
  std::set<std::string> busy_;
  const ProcessTurnTaker take_process_turn_;
};

}  // namespace vorlintex::generator
