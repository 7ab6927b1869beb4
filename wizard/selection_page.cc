#include "wizard/selection_page.h"

#include "html/page_head.h"
#include "wizard/page_frame.h"

namespace vorlintex::wizard {
namespace {

void StoreFieldInSession(FormPage& page, std::string_view name) {
  const std::string value = page.RequestValue(name);
  page.StoreInSession(name, value);
}

}  // namespace

void WriteSelectionPage(FormPage& page, const GetFilesMethod& get_files) {
  StoreFieldInSession(page, "sourcedir");
  StoreFieldInSession(page, "targetdir");
  StoreFieldInSession(page, "dllname");

  WriteScriptOpening(page);
  WriteCheckSourceBlank(page);
  WriteCheckTargetBlank(page);
  WriteCheckNameBlank(page);
  WriteScriptClosing(page);
  html::WritePageHead(page);
  WriteFormOpening(page, NextPage::kGeneration);
  WriteHeadingRow(page);
  WriteFieldRow(page,
                "<td align=\"left\" bgcolor=\"lightyellow\">Source Directory for ASP(s):</td>",
                Field::kSourceDir, ValueFrom::kRequest);
  WriteFieldRow(page,
                "<td align=\"left\" bgcolor=\"lightyellow\">Target Directory for Dll,VB file:</td>",
                Field::kTargetDir, ValueFrom::kRequest);
  WriteFieldRow(page, "<td align=\"left\" bgcolor=\"lightyellow\">Dll Name for ASP(s):</td>",
                Field::kDllName, ValueFrom::kRequest);
  page.Line("<tr>");
  page.Line(
      "<td align=\"left\" bgcolor=\"lightyellow\">Select single or multiple ASP files to "
      "convert:</td>");
  page.Line("<td align=\"left\" bgcolor=\"lightyellow\">");
  page.Line("<select multiple name=\"asplist\" size=\"20\">");
  std::string listing_pattern = page.SessionValue("sourcedir") + "\\*.asp";
  if (page.ok()) page.Take(get_files(listing_pattern));
  page.Line("</select>");
  // The list's cell is left without its closing tag.
  page.Line("</tr>");
  WriteSubmitRow(page,
                 "<td align=\"center\" bgcolor=\"lightblue\" colspan=\"2\"><input type=\"submit\" "
                 "value=\"Generate VB Files\"></td>");
  WritePageClose(page);
}

}  // namespace vorlintex::wizard
