// The wizard's pages as the user's browser receives them, written out line by line.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::wizard::testing {

// `lines` joined with CR LF after each, "\n" marking the line ends in the literal.
inline std::string Crlf(std::string_view lines) {
  std::string out;
  for (char c : lines) {
    if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

inline constexpr std::string_view kEntryScript = R"html(<script language="JavaScript">
function CheckInputs()
{
 if(document.forms[0].sourcedir.value == "") 
 {
alert("Source Directory cannot be blank.");
return (false);
 }
 if(document.forms[0].targetdir.value == "") 
 {
alert("Target Directory cannot be blank.");
return (false);
 }
 if(document.forms[0].targetdir.value == document.forms[0].sourcedir.value) 
 {
alert("Source and Target Directory cannot be the same, otherwise you overwritten your original ASP files.");
return (false);
 }
 if(document.forms[0].dllname.value == "") 
 {
alert("Dll Name cannot be blank.");
return (false);
 }
 return (true);
}
</script>
)html";

inline constexpr std::string_view kSelectionScript = R"html(<script language="JavaScript">
function CheckInputs()
{
 if(document.forms[0].sourcedir.value == "") 
 {
alert("Source Directory cannot be blank.");
return (false);
 }
 if(document.forms[0].targetdir.value == "") 
 {
alert("Target Directory cannot be blank.");
return (false);
 }
 if(document.forms[0].dllname.value == "") 
 {
alert("Dll Name cannot be blank.");
return (false);
 }
 return (true);
}
</script>
)html";

inline constexpr std::string_view kPageHead = R"html(<HTML>
<HEAD>
<META NAME="GENERATOR" Content="Microsoft Developer Studio">
<META HTTP-EQUIV="Content-Type" content="text/html; charset=iso-8859-1">
<TITLE>ASP Component VB Dll Generation</TITLE>
</HEAD>
<BODY background="morvanebg.gif">
)html";

inline constexpr std::string_view kHeadingRow = R"html(<tr>
<td align="center" colspan=2 bgcolor="lightblue">
<b><font face="Century Schoolbook">
<font color="black" size="2">Vorlintex</font></b>
</td>
)html";

inline constexpr std::string_view kPageClose = R"html(</table>
</form>
</center>
</BODY>
</HTML>
)html";

// The entry page with the three session values (already in their HTML form).
inline std::string EntryPage(std::string_view source, std::string_view target,
                             std::string_view dll) {
  std::string page(kEntryScript);
  page += kPageHead;
  page += R"html(<center>
<form method="POST" name="morvane" action="morvane.asp" OnSubmit="return CheckInputs()">
<input type="hidden" name="PageNumber" value="1">
<table border="0" cellpadding="1" cellspacing="1">
)html";
  page += kHeadingRow;
  page += R"html(<tr>
<td align="left" bgcolor="lightyellow">Source Directory for ASP(s) like c:\inetpub\wwwroot\script</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="sourcedir" value=")html";
  page += source;
  page += R"html(" size="30"></td>
</tr>
<tr>
<tr>
<td align="center" colspan=2 bgcolor="white">
<b><font face="Century Schoolbook">
<font color="black" size="2">Note: Target Directory below cannot be the same as Source Directory above</font></b>
</td>
<tr>
<td align="left" bgcolor="lightyellow">Target Directory for Dll,VB file like c:\testdll</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="targetdir" value=")html";
  page += target;
  page += R"html(" size="30"></td>
</tr>
<tr>
<td align="left" bgcolor="lightyellow">Dll Name for ASP(s) like testdll</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="dllname" value=")html";
  page += dll;
  page += R"html(" size="30"></td>
</tr>
<tr>
<td align="center" bgcolor="lightblue" colspan="2"><input type="submit" value="Continue"></td>
</tr>
)html";
  page += kPageClose;
  return Crlf(page);
}

// The selection page with the three request values and the option lines (each ending "\n").
inline std::string SelectionPage(std::string_view source, std::string_view target,
                                 std::string_view dll, std::string_view options) {
  std::string page(kSelectionScript);
  page += kPageHead;
  page += R"html(<center>
<form method="POST" name="morvane" action="morvane.asp" OnSubmit="return CheckInputs()">
<input type="hidden" name="PageNumber" value="2">
<table border="0" cellpadding="1" cellspacing="1">
)html";
  page += kHeadingRow;
  page += R"html(<tr>
<td align="left" bgcolor="lightyellow">Source Directory for ASP(s):</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="sourcedir" value=")html";
  page += source;
  page += R"html(" size="30"></td>
</tr>
<tr>
<td align="left" bgcolor="lightyellow">Target Directory for Dll,VB file:</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="targetdir" value=")html";
  page += target;
  page += R"html(" size="30"></td>
</tr>
<tr>
<td align="left" bgcolor="lightyellow">Dll Name for ASP(s):</td>
<td align="left" bgcolor="lightyellow"><input type="text" name="dllname" value=")html";
  page += dll;
  page += R"html(" size="30"></td>
</tr>
<tr>
<td align="left" bgcolor="lightyellow">Select single or multiple ASP files to convert:</td>
<td align="left" bgcolor="lightyellow">
<select multiple name="asplist" size="20">
)html";
  page += options;
  page += R"html(</select>
</tr>
<tr>
<td align="center" bgcolor="lightblue" colspan="2"><input type="submit" value="Generate VB Files"></td>
</tr>
)html";
  page += kPageClose;
  return Crlf(page);
}

}  // namespace vorlintex::wizard::testing
