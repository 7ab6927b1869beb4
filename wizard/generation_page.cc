#include "wizard/generation_page.h"

#include <memory>

#include "generator/generation_run.h"
#include "html/page_head.h"
#include "html/page_writer.h"
#include "wizard/run_report.h"

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

Status WriteGenerationPage(host::Request& request, host::Response& response,
                           const Services& services) {
  html::PageWriter page(response);
  html::WritePageHead(page);
  if (!page.ok()) return page.status();
  generator::RunInput input;
  if (Status read = ReadRunInput(request, &input); !read.ok()) return read;
  const generator::RunSummary summary = generator::RunGeneration(input, services);
  return WriteRunReport(response, input, summary);
}

}  // namespace vorlintex::wizard
