// Generation runs in one process that aim at the same target folder take turns: their files
// would otherwise be written over each other line by line. Runs on different folders go on
// in parallel.
#pragma once

#include <condition_variable>
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
  };

  TargetTurns() = default;
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
};

}  // namespace vorlintex::generator
