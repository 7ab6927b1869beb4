#include "wizard/page_frame.h"

#include "html/page_head.h"

namespace vorlintex::wizard {

void WriteScriptOpening(FormPage& page) {
  page.Line("<script language=\"JavaScript\">");
  page.Line("function CheckInputs()");
  page.Line("{");
}

void WriteCheckSourceBlank(FormPage& page) {
  page.Line(" if(document.forms[0].sourcedir.value == \"\") ");
  page.Line(" {");
  page.Line("alert(\"Source Directory cannot be blank.\");");
  page.Line("return (false);");
  page.Line(" }");
}

void WriteCheckTargetBlank(FormPage& page) {
  page.Line(" if(document.forms[0].targetdir.value == \"\") ");
  page.Line(" {");
  page.Line("alert(\"Target Directory cannot be blank.\");");
  page.Line("return (false);");
  page.Line(" }");
}

void WriteCheckSameFolder(FormPage& page) {
  page.Line(" if(document.forms[0].targetdir.value == document.forms[0].sourcedir.value) ");
  page.Line(" {");
  page.Line(
      "alert(\"Source and Target Directory cannot be the same, otherwise you overwritten your "
      "original ASP files.\");");
  page.Line("return (false);");
  page.Line(" }");
}

void WriteCheckNameBlank(FormPage& page) {
  page.Line(" if(document.forms[0].dllname.value == \"\") ");
  page.Line(" {");
  page.Line("alert(\"Dll Name cannot be blank.\");");
  page.Line("return (false);");
  page.Line(" }");
}

void WriteScriptClosing(FormPage& page) {
  page.Line(" return (true);");
  page.Line("}");
  page.Line("</script>");
}

void WriteFormOpening(FormPage& page, NextPage next_page) {
  page.Line("<center>");
  page.Line(
      "<form method=\"POST\" name=\"morvane\" action=\"morvane.asp\" "
      "OnSubmit=\"return CheckInputs()\">");
  if (next_page == NextPage::kSelection) {
    page.Line("<input type=\"hidden\" name=\"PageNumber\" value=\"1\">");
  } else {
    page.Line("<input type=\"hidden\" name=\"PageNumber\" value=\"2\">");
  }
  page.Line("<table border=\"0\" cellpadding=\"1\" cellspacing=\"1\">");
}

void WriteHeadingRow(FormPage& page) {
  page.Line("<tr>");
  page.Line("<td align=\"center\" colspan=2 bgcolor=\"lightblue\">");
  page.Line("<b><font face=\"Century Schoolbook\">");
  page.Line("<font color=\"black\" size=\"2\">Vorlintex</font></b>");
  page.Line("</td>");
}

namespace {

std::string_view FieldName(Field field) {
  switch (field) {
    case Field::kSourceDir:
      return "sourcedir";
    case Field::kTargetDir:
      return "targetdir";
    case Field::kDllName:
      return "dllname";
  }
  return "";
}

std::string_view InputPrefix(Field field) {
  switch (field) {
    case Field::kSourceDir:
      return "<td align=\"left\" bgcolor=\"lightyellow\"><input type=\"text\" name=\"sourcedir\" "
             "value=\"";
    case Field::kTargetDir:
      return "<td align=\"left\" bgcolor=\"lightyellow\"><input type=\"text\" name=\"targetdir\" "
             "value=\"";
    case Field::kDllName:
      return "<td align=\"left\" bgcolor=\"lightyellow\"><input type=\"text\" name=\"dllname\" "
             "value=\"";
  }
  return "";
}

constexpr std::string_view kInputSuffix = "\" size=\"30\"></td>";

}  // namespace

void WriteFieldRow(FormPage& page, std::string_view label, Field field, ValueFrom from) {
  page.Line("<tr>");
  page.Line(label);
  const std::string value = from == ValueFrom::kSession ? page.SessionValue(FieldName(field))
                                                        : page.RequestValue(FieldName(field));
  page.ValueLine(InputPrefix(field), value, kInputSuffix);
  page.Line("</tr>");
}

void WriteSubmitRow(FormPage& page, std::string_view submit_cell) {
  page.Line("<tr>");
  page.Line(submit_cell);
  page.Line("</tr>");
}

void WritePageClose(FormPage& page) {
  page.Line("</table>");
  page.Line("</form>");
  page.Line("</center>");
  page.Line("</BODY>");
  page.Line("</HTML>");
}

}  // namespace vorlintex::wizard
