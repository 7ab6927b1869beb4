// The fixed lines of every class module: the header block, the standard methods, and the
// opening and closing of the page method. The passes fill the sections between them. Each
// block writes to any sink with WriteLine(std::string_view): the run's OutputFile, or the
// lines a module is built in before it is written.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::translator {

// Class header and attributes. A class only the project's own code uses (a VBScript class of a
// page, under the compilable rules) is neither creatable nor exposed.
template <typename Sink>
void WriteClassHeader(Sink& module, std::string_view class_name, bool exposed = true) {
  module.WriteLine("VERSION 1.0 CLASS");
  module.WriteLine("BEGIN");
  module.WriteLine("  MultiUse = -1  'True");
  module.WriteLine("  Persistable = 0  'NotPersistable");
  module.WriteLine("  DataBindingBehavior = 0  'vbNone");
  module.WriteLine("  DataSourceBehavior  = 0  'vbNone");
  module.WriteLine("  MTSTransactionMode  = 0  'NotAnMTSObject");
  module.WriteLine("END");
  module.WriteLine("Attribute VB_Name = \"" + std::string(class_name) + "\"");
  module.WriteLine("Attribute VB_GlobalNameSpace = False");
  module.WriteLine(exposed ? "Attribute VB_Creatable = True" : "Attribute VB_Creatable = False");
  module.WriteLine("Attribute VB_PredeclaredId = False");
  module.WriteLine(exposed ? "Attribute VB_Exposed = True" : "Attribute VB_Exposed = False");
}

// Class header, attributes, member declarations and the "'Global variables" heading.
template <typename Sink>
void WriteHeaderBlock(Sink& module, std::string_view base_name) {
  WriteClassHeader(module, base_name);
  module.WriteLine("'Global Scripting Context");
  module.WriteLine("Dim ASPsc As ScriptingContext");
  module.WriteLine("Dim Application As Object");
  module.WriteLine("Dim Request As Object");
  module.WriteLine("Dim Session As Object");
  module.WriteLine("Dim Response As Object");
  module.WriteLine("Dim Server As Object");
  module.WriteLine("");
  module.WriteLine("'Global variables");
  module.WriteLine("");
}

// Main, OnStartPage and OnEndPage.
template <typename Sink>
void WriteStandardMethods(Sink& module) {
  module.WriteLine("Public Sub Main()");
  module.WriteLine("End Sub");
  module.WriteLine("Public Sub OnStartPage(ASPScriptingContext As ScriptingContext)");
  module.WriteLine("'Set global variable to reference in other functions and subs");
  module.WriteLine("    Set ASPsc = ASPScriptingContext");
  module.WriteLine("End Sub");
  module.WriteLine("Public Sub OnEndPage()");
  module.WriteLine("    Set ASPsc = Nothing");
  module.WriteLine("End Sub");
}

// The page method's first line and the five Set lines that take the host objects.
template <typename Sink>
void WritePageMethodOpening(Sink& module, std::string_view base_name) {
  module.WriteLine("Public Sub " + std::string(base_name) + "()");
  module.WriteLine("");
  module.WriteLine("Set Application = ASPsc.Application");
  module.WriteLine("Set Request = ASPsc.Request");
  module.WriteLine("Set Session = ASPsc.Session");
  module.WriteLine("Set Response = ASPsc.Response");
  module.WriteLine("Set Server = ASPsc.Server");
  module.WriteLine("");
}

// The page method's "End Sub", the last line of the file.
template <typename Sink>
void WritePageMethodClosing(Sink& module) {
  module.WriteLine("End Sub");
}

}  // namespace vorlintex::translator
