#include "pagehost/page_objects.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "contract/ascii.h"
#include "pagehost/page_charset.h"

namespace vorlintex::pagehost {
namespace {

// The values of one name among the posted fields, which it keeps alive rather than copies.
class ValueCollection : public host::FormCollection {
 public:
  ValueCollection(std::shared_ptr<const FormFields> fields, std::vector<uint32_t> positions)
      : fields_(std::move(fields)), positions_(std::move(positions)) {}

  Status Count(int* count) override {
    *count = static_cast<int>(positions_.size());
    return Status::OK();
  }
  Status Item(int index, std::string* value) override {
    if (index < 1 || static_cast<size_t>(index) > positions_.size()) {
      return Status::InvalidArgument("Request.Form",
                                     "index " + std::to_string(index) + " is out of range");
    }
    *value = (*fields_)[positions_[static_cast<size_t>(index - 1)]].second;
    return Status::OK();
  }

 private:
  std::shared_ptr<const FormFields> fields_;
  std::vector<uint32_t> positions_;  // of the values in `fields_`; a form is far below 4 G fields
};

// Appends the values of `name` joined by ", "; whether any was found.
FormFields InUtf8(FormFields fields) {
  for (auto& [name, value] : fields) {
    name = PostedToUtf8(name);
    value = PostedToUtf8(value);
  }
  return fields;
}

bool JoinValues(const FormFields& fields, std::string_view name, std::string* joined) {
  bool found = false;
  for (const auto& [field, value] : fields) {
    if (!AsciiEqualIgnoringCase(field, name)) continue;
    if (found) joined->append(", ");
    joined->append(value);
    found = true;
  }
  return found;
}

}  // namespace

PageRequest::PageRequest(FormFields query, FormFields form)
    : query_(InUtf8(std::move(query))),
      form_(std::make_shared<const FormFields>(InUtf8(std::move(form)))) {}

Status PageRequest::Item(std::string_view name, std::string* value) {
  value->clear();
  if (!JoinValues(query_, name, value)) JoinValues(*form_, name, value);
  return Status::OK();
}

Status PageRequest::Form(std::string_view name, std::shared_ptr<host::FormCollection>* values) {
  auto matches = [&](const FormFields::value_type& field) {
    return AsciiEqualIgnoringCase(field.first, name);
  };
  std::vector<uint32_t> positions;
  positions.reserve(static_cast<size_t>(std::count_if(form_->begin(), form_->end(), matches)));
  for (size_t i = 0; i < form_->size(); ++i) {
    if (matches((*form_)[i])) positions.push_back(static_cast<uint32_t>(i));
  }
  *values = std::make_shared<ValueCollection>(form_, std::move(positions));
  return Status::OK();
}

Status PageSession::Item(std::string_view name, std::string* value) {
  *value = values_ ? values_->Get(name) : std::string();
  return Status::OK();
}

Status PageSession::SetItem(std::string_view name, std::string_view value) {
  if (!values_) {
    Status status = store_->Create(&started_id_, &values_);
    if (!status.ok()) return status;
  }
  values_->Set(name, value);
  return Status::OK();
}

Status PageResponse::Write(std::string_view text) {
  body_.append(text);
  return Status::OK();
}

std::string PageResponse::PageBody() const { return Utf8ToPage(body_); }

Status PageContext::Application(std::shared_ptr<host::Application>* object) {
  *object = application_;
  return Status::OK();
}
Status PageContext::Request(std::shared_ptr<host::Request>* object) {
  *object = request_;
  return Status::OK();
}
Status PageContext::Session(std::shared_ptr<host::Session>* object) {
  *object = session_;
  return Status::OK();
}
Status PageContext::Response(std::shared_ptr<host::Response>* object) {
  *object = response_;
  return Status::OK();
}
Status PageContext::Server(std::shared_ptr<host::Server>* object) {
  *object = server_;
  return Status::OK();
}

}  // namespace vorlintex::pagehost
