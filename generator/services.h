// What one process hands every component instance it creates: the platform, the table of
// target folders busy with a generation run, the rules its runs convert pages by, and how their
// build lines name the project and the compiler.
#pragma once

#include <string>

namespace vorlintex {
class Env;
namespace generator {
class TargetTurns;
}  // namespace generator

// How pages become class modules. The classic rules are the design, line by line; the
// compilable rules read a page as a page host runs it and write a module Visual Basic 6
// compiles.
enum class RuleSet { kClassic, kCompilable };

struct Services {
  Services(Env* env_in = nullptr, generator::TargetTurns* turns_in = nullptr)
      : env(env_in), turns(turns_in) {}

  Env* env = nullptr;
  generator::TargetTurns* turns = nullptr;
  RuleSet rules = RuleSet::kClassic;
  // With the compilable rules: where virtual include paths start; empty for the source folder.
  std::string site_root;
  // The target folder as the Windows machine that compiles the project sees it, for the build
  // line; empty for the target folder as typed (the wizard's runs).
  std::string build_dir;
  // The compiler the build line runs; empty to find it in the registry.
  std::string compiler_path;
};

}  // namespace vorlintex
