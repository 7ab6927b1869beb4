#include "wizard/dispatch.h"

#include <memory>
#include <utility>

#include "generator/generation_run.h"
#include "wizard/entry_page.h"
#include "wizard/form_page.h"

namespace vorlintex::wizard {
namespace {

// The generation run's inputs as the selection page posted them.
Status ReadRunInput(host::Request& request, generator::RunInput* input) {
  if (Status s = request.Item("sourcedir", &input->source_dir); !s.ok()) return s;
  if (Status s = request.Item("targetdir", &input->target_dir); !s.ok()) return s;
  if (Status s = request.Item("dllname", &input->dll_name); !s.ok()) return s;
  std::shared_ptr<host::FormCollection> selection;
  if (Status s = request.Form("asplist", &selection); !s.ok()) return s;
  int count = 0;
  if (selection != nullptr) {
    if (Status s = selection->Count(&count); !s.ok()) return s;
  }
  input->pages.resize(count > 0 ? count : 0);
  for (int i = 1; i <= count; ++i) {
    if (Status s = selection->Item(i, &input->pages[i - 1]); !s.ok()) return s;
  }
  return Status::OK();
}

}  // namespace

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
    generator::RunInput input;
    status = ReadRunInput(request, &input);
    if (!status.ok()) return status;
    status = generator::RunGeneration(input, response, services).host_failure;
    if (!status.ok()) return status;
  }
  return Status::OK();
}

}  // namespace vorlintex::wizard
