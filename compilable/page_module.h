// The class module the compilable rules make of one page and its include files: built in
// memory, then written in the order Visual Basic wants: declarations, procedures, the standard
// methods, the page method (split into parts when it would be too large), and a class module
// of its own for each VBScript class.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compilable/rules_findings.h"

namespace vorlintex::compilable {

// A VBScript class of the page, as a class module of the project.
struct ClassModuleText {
  std::string name;                // as the page spells it
  std::vector<std::string> lines;  // the whole file
};

struct PageModule {
  // The class's name: the one asked for, unless the page itself uses it for something else.
  std::string class_name;
  std::vector<std::string> lines;        // the page's class module, every line
  std::vector<ClassModuleText> classes;  // in the order the page defines them
  bool uses_regexp = false;              // the project needs the regular expression library
};

// Where include files come from.
class IncludeSource {
 public:
  virtual ~IncludeSource() = default;
  // The whole text of the file at `path`, line ends as they stand; nothing when there is no
  // file there.
  virtual std::optional<std::string> Read(const std::string& path) = 0;
  // The include path `path` was refused unread (it lies outside the folders the run reads);
  // the source may record that. Nothing by default.
  virtual void Refuse(const std::string& path) { (void)path; }
};

// A page's procedures and classes are sorted out as its pieces come; include files are read in
// place of their directives.
class ModuleBuilder {
 public:
  ModuleBuilder(std::string class_name, std::string site_root, IncludeSource& includes,
                RulesObserver* observer, bool pass_over_missing_includes);
  ~ModuleBuilder();
  ModuleBuilder(const ModuleBuilder&) = delete;
  ModuleBuilder& operator=(const ModuleBuilder&) = delete;

  // Takes the page (its path as the run builds it, its text); false when a missing include
  // stopped the translation, whose path missing_include() then gives.
  bool AddPage(const std::string& path, std::string_view text);
  const std::string& missing_include() const;
  // From now on an include path that, its "." and ".." parts resolved, lies neither under
  // `folder` nor under the site root is told (kIncludeOutside) and not read; by default every
  // include path is read.
  void KeepIncludesUnder(std::string folder);

  PageModule Finish();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Where an include directive of the file at `including` points: `name` beside that file, or
// for a virtual one under `site_root`.
// True when `path`, its "." and ".." parts resolved, names `folder` or a file under it (parts
// compared without regard to ASCII case, either separator).
bool PathWithin(std::string_view folder, std::string_view path);

std::string IncludePathFor(std::string_view including, std::string_view name, bool is_virtual,
                           std::string_view site_root);

}  // namespace vorlintex::compilable
