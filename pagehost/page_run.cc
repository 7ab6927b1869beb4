#include "pagehost/page_run.h"

#include <vector>

namespace vorlintex::pagehost {

Status RunHostPage(const automation::ClassRegistry& registry,
                   std::shared_ptr<host::ScriptingContext> context) {
  std::unique_ptr<automation::Object> instance;
  Status status = registry.CreateObject(automation::kMorvaneProgId, &instance);
  if (!status.ok()) return status;
  std::vector<automation::Variant> start_args{std::move(context)};
  status = instance->Invoke("OnStartPage", start_args);
  if (!status.ok()) return status;
  std::vector<automation::Variant> no_args;
  Status page = instance->Invoke("morvane", no_args);
  no_args.clear();
  Status end = instance->Invoke("OnEndPage", no_args);
  return page.ok() ? end : page;
}

}  // namespace vorlintex::pagehost
