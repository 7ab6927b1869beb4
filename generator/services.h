// What one process hands every component instance it creates: the platform, the table of
// target folders busy with a generation run, and who wants to hear how each run ended.
#pragma once

namespace vorlintex {
class Env;
namespace generator {
class TargetTurns;
class RunObserver;
}  // namespace generator

struct Services {
  Env* env = nullptr;
  generator::TargetTurns* turns = nullptr;
  // Told the outcome of every generation run; may be null (the wizard needs no more than the
  // run's page).
  generator::RunObserver* observer = nullptr;
};

}  // namespace vorlintex
