#include "wizard/run_report.h"

#include "contract/env.h"
#include "html/escape.h"
#include "html/input_checks.h"
#include "html/page_head.h"
#include "html/page_writer.h"

namespace vorlintex::wizard {

using generator::RefusedField;
using generator::RunEnd;
using html::HtmlEscape;
using html::PageWriter;

namespace {

std::string_view FailedAccessText(Access access) {
  switch (access) {
    case Access::kRead:
      return "Could not read ";
    case Access::kWrite:
      return "Could not write ";
    case Access::kCreateFolder:
      return "Could not create ";
  }
  return "";
}

// The report of a run that went through every selected page. With `failures`, its first
// line says the run finished with errors and one line per failure follows it.
Status WriteCompletionReport(host::Response& response, const std::string& source_dir,
                             const std::string& target_dir, const std::string& dll_name,
                             const std::vector<Failure>& failures) {
  const std::string source = HtmlEscape(source_dir);
  const std::string target = HtmlEscape(target_dir);
  const std::string dll = HtmlEscape(dll_name);
  PageWriter page(response);
  if (failures.empty()) {
    page.Line({"Done generating all the VB files in ", target, ".<BR><BR>"});
  } else {
    page.Line({"Generation finished with errors in ", target, ".<BR><BR>"});
    for (const Failure& failure : failures) {
      page.Line({FailedAccessText(failure.access), HtmlEscape(failure.path), ": ",
                 HtmlEscape(failure.reason), "<BR>"});
    }
  }
  page.Line({"Important Notes: <BR>"});
  page.Line({"1. ", target, "\\", dll, ".bat file was generated in ", target, "<BR>"});
  page.Line(
      {"2. You can now run it from Dos prompt to generate your dll file in ", target, "<BR>"});
  page.Line({"3. Or you can use vb6 to open the generated project file ", target, "\\", dll,
             ".vbp to do editing to your classes.", "<BR>"});
  page.Line({"4. Now you should copy your original asp files in ", source,
             " somewhere and then replace by all the new asp(s) generated in ", target,
             " directory.", "<BR>"});
  page.Line(
      {"6. Now you should be able to rerun your asp from IIS using the dll version in a "
       "much faster speed.",
       "<BR>"});
  page.Line(
      {"7. If you need to install your dlls in production server machines, you should "
       "run VB's package wizard to package your generated dll to include all the "
       "necessary vb runtime dlls.",
       "<BR>"});
  page.Line({"</BODY>"});
  page.Line({"</HTML>"});
  return page.status();
}

// The message line has no line end of its own, so "</center>" follows it on the same line.
Status WriteIncludeNotFoundPage(host::Response& response, const std::string& include_path) {
  PageWriter page(response);
  page.Line({"<center>"});
  page.Text({"The include file ", HtmlEscape(include_path),
             " not found, all include file should be in the same directory as the asp files."});
  page.Line({"</center>"});
  page.Line({"</BODY>"});
  page.Line({"</HTML>"});
  return page.status();
}

Status WriteRefusal(host::Response& response, std::string_view message) {
  PageWriter page(response);
  page.Line({message, "<BR>"});
  page.Line({"</BODY>"});
  page.Line({"</HTML>"});
  return page.status();
}

}  // namespace

std::string_view RefusalMessage(RefusedField field) {
  switch (field) {
    case RefusedField::kSourceBlank:
      return html::kSourceBlank;
    case RefusedField::kTargetBlank:
      return html::kTargetBlank;
    case RefusedField::kSameFolder:
      return html::kSameFolder;
    case RefusedField::kNameBlank:
      return html::kNameBlank;
    case RefusedField::kNameHasFolder:
      return html::kNameHasFolder;
  }
  return "";
}

Status WriteRunReport(host::Response& response, const generator::RunInput& input,
                      const generator::RunSummary& summary) {
  switch (summary.end) {
    case RunEnd::kDone:
      return WriteCompletionReport(response, input.source_dir, input.target_dir, summary.dll_name,
                                   summary.failures);
    case RunEnd::kRefused:
      return WriteRefusal(response, RefusalMessage(summary.refused));
    case RunEnd::kMissingInclude:
      return WriteIncludeNotFoundPage(response, summary.missing_include);
    case RunEnd::kTargetBusy:
      // The wizard's runs wait for their turn; only a caller that said not to gets here.
      return Status::Busy(input.target_dir, kFolderBusyReason);
    case RunEnd::kNoFileService:
      break;
  }
  return summary.file_service_failure;
}

Status WriteRunPage(host::Response& response, const generator::RunInput& input,
                    const generator::RunSummary& summary) {
  PageWriter page(response);
  html::WritePageHead(page);
  if (!page.ok()) return page.status();
  return WriteRunReport(response, input, summary);
}

}  // namespace vorlintex::wizard
