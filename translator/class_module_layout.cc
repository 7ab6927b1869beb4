#include "translator/class_module_layout.h"

#include <string>

namespace vorlintex::translator {

void WriteHeaderBlock(OutputFile& module, std::string_view base_name) {
  module.WriteLine("VERSION 1.0 CLASS");
  module.WriteLine("BEGIN");
  module.WriteLine("  MultiUse = -1  'True");
  module.WriteLine("  Persistable = 0  'NotPersistable");
  module.WriteLine("  DataBindingBehavior = 0  'vbNone");
  module.WriteLine("  DataSourceBehavior  = 0  'vbNone");
  module.WriteLine("  MTSTransactionMode  = 0  'NotAnMTSObject");
  module.WriteLine("END");
  module.WriteLine("Attribute VB_Name = \"" + std::string(base_name) + "\"");
  module.WriteLine("Attribute VB_GlobalNameSpace = False");
  module.WriteLine("Attribute VB_Creatable = True");
  module.WriteLine("Attribute VB_PredeclaredId = False");
  module.WriteLine("Attribute VB_Exposed = True");
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

void WriteStandardMethods(OutputFile& module) {
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

void WritePageMethodOpening(OutputFile& module, std::string_view base_name) {
  module.WriteLine("Public Sub " + std::string(base_name) + "()");
  module.WriteLine("");
  module.WriteLine("Set Application = ASPsc.Application");
  module.WriteLine("Set Request = ASPsc.Request");
  module.WriteLine("Set Session = ASPsc.Session");
  module.WriteLine("Set Response = ASPsc.Response");
  module.WriteLine("Set Server = ASPsc.Server");
  module.WriteLine("");
}

void WritePageMethodClosing(OutputFile& module) { module.WriteLine("End Sub"); }

}  // namespace vorlintex::translator
