#include "wizard/dispatch.h"

#include "wizard/entry_page.h"
#include "wizard/form_page.h"
#include "wizard/generation_page.h"

namespace vorlintex::wizard {

Status DispatchPage(host::Request& request, host::Session& session, host::Response& response,
                    const GetFilesMethod& get_files, const Services& services) {
  // Three independent tests, each reading the field afresh, as the host page has always done.
  std::string page_number;
  Status status = request.Item("PageNumber", &page_number);
  if (!status.ok()) return status;
  if (page_number == "") {
    FormPage page(request, session, response);
    WriteEntryPage(page);
    if (!page.ok()) return page.status();
  }

  status = request.Item("PageNumber", &page_number);
  if (!status.ok()) return status;
  if (page_number == "1") {
    FormPage page(request, session, response);
    WriteSelectionPage(page, get_files);
    if (!page.ok()) return page.status();
  }

  status = request.Item("PageNumber", &page_number);
  if (!status.ok()) return status;
  if (page_number == "2") {
    status = WriteGenerationPage(request, response, services);
    if (!status.ok()) return status;
  }
  return Status::OK();
}

}  // namespace vorlintex::wizard
