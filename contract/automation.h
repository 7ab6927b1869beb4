// The small automation layer through which a page host reaches the component: objects made by
// ProgID, methods called by name. Names compare without regard to ASCII case, as automation
// names do.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "contract/host.h"
#include "contract/status.h"

namespace vorlintex::automation {

// The ProgID of the wizard's class, by which its host page creates it.
inline constexpr std::string_view kMorvaneProgId = "tvorlintex.morvane";

// One argument of a method call. Arguments are passed by reference: a method may change them.
using Variant = std::variant<std::monostate, std::string, std::shared_ptr<host::ScriptingContext>>;

// An automation object: its methods are reached only by name.
class Object {
 public:
  virtual ~Object() = default;
  // Calls the method `name`. NotSupported for an unknown name, InvalidArgument for arguments
  // of the wrong number or type, each naming the method, which is not run; a failure inside the
  // method is returned as it is.
  virtual Status Invoke(std::string_view name, std::vector<Variant>& args) = 0;
};

// The classes a process can create by ProgID. Owned by the host process; nothing is global.
class ClassRegistry {
 public:
  using Factory = std::function<std::unique_ptr<Object>()>;

  void Register(std::string_view progid, Factory factory);
  // A new instance of the class registered under `progid`. NotFound naming the ProgID when no
  // class is registered under it, IOError when its factory made none.
  Status CreateObject(std::string_view progid, std::unique_ptr<Object>* object) const;

 private:
  std::map<std::string, Factory> factories_;  // by ProgID, ASCII lower-cased
};

}  // namespace vorlintex::automation
