// The wizard's pages as the user's browser receives them, written out line by line.
#pragma once

#include <string>
#include <string_view>

#include "contract/test_host.h"
#include "html/page_head.h"
#include "html/page_writer.h"

namespace vorlintex::wizard::testing {

// `lines` joined with CR LF after each, "\n" marking the line ends in the literal.
inline std::string Crlf(std::string_view lines) {
  std::string out;
  for (char c : lines) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// One check of the form's script: the alert shown when `condition` holds.
inline std::string Check(std::string_view condition, std::string_view alert) {
  return " if(document.forms[0]." + std::string(condition) + ") \n {\nalert(\"" +
         std::string(alert) + "\");\nreturn (false);\n }\n";
}

// The form's script; the entry page's also refuses the same folder for both.
inline std::string Script(bool same_folder_check) {
  std::string script = "<script language=\"JavaScript\">\nfunction CheckInputs()\n{\n" +
                       Check("sourcedir.value == \"\"", "Source Directory cannot be blank.") +
                       Check("targetdir.value == \"\"", "Target Directory cannot be blank.");
  if (same_folder_check) {
    script += Check("targetdir.value == document.forms[0].sourcedir.value",
                    "Source and Target Directory cannot be the same, otherwise you overwritten "
                    "your original ASP files.");
  }
  return script + Check("dllname.value == \"\"", "Dll Name cannot be blank.") +
         " return (true);\n}\n</script>\n";
}

// The page head, pinned byte for byte by the html folder's own test.
inline std::string PageHead() {
  host::MemoryResponse response;
  html::PageWriter page(response);
  html::WritePageHead(page);
  return response.body();
}

// The form's start up to the heading row, for the page it posts as `page_number`.
inline std::string FormStart(char page_number) {
  return std::string(R"html(<center>
<form method="POST" name="morvane" action="morvane.asp" OnSubmit="return CheckInputs()">
<input type="hidden" name="PageNumber" value=")html") +
         page_number + R"html(">
<table border="0" cellpadding="1" cellspacing="1">
<tr>
<td align="center" colspan=2 bgcolor="lightblue">
<b><font face="Century Schoolbook">
<font color="black" size="2">Vorlintex</font></b>
</td>
)html";
}

// One row holding a text box.
inline std::string InputRow(std::string_view label, std::string_view name, std::string_view value) {
  return "<tr>\n<td align=\"left\" bgcolor=\"lightyellow\">" + std::string(label) +
         "</td>\n<td align=\"left\" bgcolor=\"lightyellow\"><input type=\"text\" name=\"" +
         std::string(name) + "\" value=\"" + std::string(value) + "\" size=\"30\"></td>\n</tr>\n";
}

inline std::string FormEnd(std::string_view submit) {
  return "<tr>\n<td align=\"center\" bgcolor=\"lightblue\" colspan=\"2\"><input type=\"submit\" "
         "value=\"" +
         std::string(submit) + "\"></td>\n</tr>\n</table>\n</form>\n</center>\n</BODY>\n</HTML>\n";
}

// The entry page with the three session values (already in their HTML form).
inline std::string EntryPage(std::string_view source, std::string_view target,
                             std::string_view dll) {
  return Crlf(Script(true)) + PageHead() +
         Crlf(FormStart('1') +
              InputRow("Source Directory for ASP(s) like c:\\inetpub\\wwwroot\\script", "sourcedir",
                       source) +
              R"html(<tr>
<tr>
<td align="center" colspan=2 bgcolor="white">
<b><font face="Century Schoolbook">
<font color="black" size="2">Note: Target Directory below cannot be the same as Source Directory above</font></b>
</td>
)html" + InputRow("Target Directory for Dll,VB file like c:\\testdll", "targetdir", target) +
              InputRow("Dll Name for ASP(s) like testdll", "dllname", dll) + FormEnd("Continue"));
}

// The selection page with the three request values and the option lines (each ending "\n").
inline std::string SelectionPage(std::string_view source, std::string_view target,
                                 std::string_view dll, std::string_view options) {
  return Crlf(Script(false)) + PageHead() +
         Crlf(FormStart('2') + InputRow("Source Directory for ASP(s):", "sourcedir", source) +
              InputRow("Target Directory for Dll,VB file:", "targetdir", target) +
              InputRow("Dll Name for ASP(s):", "dllname", dll) + R"html(<tr>
<td align="left" bgcolor="lightyellow">Select single or multiple ASP files to convert:</td>
<td align="left" bgcolor="lightyellow">
<select multiple name="asplist" size="20">
)html" + std::string(options) +
              "</select>\n</tr>\n" + FormEnd("Generate VB Files"));
}

inline constexpr char kPageEnd[] = "</BODY>\r\n</HTML>\r\n";

// The completion report for values as they appear in it (escaped); with `failures` (their
// lines), the run finished with errors.
inline std::string Report(const std::string& source, const std::string& target,
                          const std::string& dll, const std::string& failures = "") {
  return (failures.empty() ? "Done generating all the VB files in "
                           : "Generation finished with errors in ") +
         target + ".<BR><BR>\r\n" + failures + "Important Notes: <BR>\r\n1. " + target + "\\" +
         dll + ".bat file was generated in " + target +
         "<BR>\r\n2. You can now run it from Dos prompt to generate your dll file in " + target +
         "<BR>\r\n3. Or you can use vb6 to open the generated project file " + target + "\\" + dll +
         ".vbp to do editing to your classes.<BR>\r\n4. Now you should copy your original asp "
         "files in " +
         source + " somewhere and then replace by all the new asp(s) generated in " + target +
         " directory.<BR>\r\n6. Now you should be able to rerun your asp from IIS using the dll "
         "version in a much faster speed.<BR>\r\n7. If you need to install your dlls in production "
         "server machines, you should run VB's package wizard to package your generated dll to "
         "include all the necessary vb runtime dlls.<BR>\r\n" +
         kPageEnd;
}

}  // namespace vorlintex::wizard::testing
