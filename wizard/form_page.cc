#include "wizard/form_page.h"

namespace vorlintex::wizard {

std::string FormPage::RequestValue(std::string_view name) {
  std::string value;
  if (ok()) Take(request_.Item(name, &value));
  if (!ok()) value.clear();
  return value;
}

std::string FormPage::SessionValue(std::string_view name) {
  std::string value;
  if (ok()) Take(session_.Item(name, &value));
  if (!ok()) value.clear();
  return value;
}

void FormPage::StoreInSession(std::string_view name, std::string_view value) {
  if (ok()) Take(session_.SetItem(name, value));
}

}  // namespace vorlintex::wizard
