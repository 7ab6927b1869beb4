#include "contract/automation.h"

#include "contract/ascii.h"

namespace vorlintex::automation {

void ClassRegistry::Register(std::string_view progid, Factory factory) {
  factories_[AsciiLower(progid)] = std::move(factory);
}

Status ClassRegistry::CreateObject(std::string_view progid, std::unique_ptr<Object>* object) const {
  auto it = factories_.find(AsciiLower(progid));
  if (it == factories_.end()) {
    return Status::NotFound(std::string(progid), "no class is registered under this ProgID");
  }
  *object = it->second();
  if (!*object) return Status::IOError(std::string(progid), "the class could not be created");
  return Status::OK();
}

}  // namespace vorlintex::automation
