#include "generator/run_pages.h"

#include "html/escape.h"
#include "html/page_writer.h"

namespace vorlintex::generator {

using html::HtmlEscape;
using html::PageWriter;

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
      page.Line({failure.access == Access::kRead ? "Could not read " : "Could not write ",
                 HtmlEscape(failure.path), ": ", HtmlEscape(failure.reason), "<BR>"});
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

Status WriteSameFolderRefusal(host::Response& response) {
  PageWriter page(response);
  page.Line(
      {"Source and Target Directory cannot be the same, otherwise you overwritten your "
       "original ASP files.<BR>"});
  page.Line({"</BODY>"});
  page.Line({"</HTML>"});
  return page.status();
}

}  // namespace vorlintex::generator
