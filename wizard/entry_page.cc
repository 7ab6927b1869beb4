#include "wizard/entry_page.h"

#include "html/page_head.h"
#include "wizard/page_frame.h"

namespace vorlintex::wizard {

void WriteEntryPage(FormPage& page) {
  WriteScriptOpening(page);
  WriteCheckSourceBlank(page);
  WriteCheckTargetBlank(page);
  WriteCheckSameFolder(page);
  WriteCheckNameBlank(page);
  WriteScriptClosing(page);
  html::WritePageHead(page);
  WriteFormOpening(page, NextPage::kSelection);
  WriteHeadingRow(page);
  WriteFieldRow(page,
                "<td align=\"left\" bgcolor=\"lightyellow\">Source Directory for ASP(s) like "
                "c:\\inetpub\\wwwroot\\script</td>",
                Field::kSourceDir, ValueFrom::kSession);
  page.Line("<tr>");
  // The note row, like the heading row, is left open.
  page.Line("<tr>");
  page.Line("<td align=\"center\" colspan=2 bgcolor=\"white\">");
  page.Line("<b><font face=\"Century Schoolbook\">");
  page.Line(
      "<font color=\"black\" size=\"2\">Note: Target Directory below cannot be the same as "
      "Source Directory above</font></b>");
  page.Line("</td>");
  WriteFieldRow(page,
                "<td align=\"left\" bgcolor=\"lightyellow\">Target Directory for Dll,VB file like "
                "c:\\testdll</td>",
                Field::kTargetDir, ValueFrom::kSession);
  WriteFieldRow(page,
                "<td align=\"left\" bgcolor=\"lightyellow\">Dll Name for ASP(s) like testdll</td>",
                Field::kDllName, ValueFrom::kSession);
  WriteSubmitRow(page,
                 "<td align=\"center\" bgcolor=\"lightblue\" colspan=\"2\"><input type=\"submit\" "
                 "value=\"Continue\"></td>");
  WritePageClose(page);
}

}  // namespace vorlintex::wizard
