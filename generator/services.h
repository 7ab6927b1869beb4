// What one process hands every component instance it creates: the platform and the table of
// target folders busy with a generation run.
#pragma once

namespace vorlintex {
class Env;
namespace generator {
class TargetTurns;
}  // namespace generator

struct Services {
  Env* env = nullptr;
  generator::TargetTurns* turns = nullptr;
};

}  // namespace vorlintex
