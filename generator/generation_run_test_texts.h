// The fixed texts a generation run writes, spelled out for the tests that compare its page
// and files byte for byte.
#pragma once

#include <string>

#include "translator/translator_test_support.h"

namespace vorlintex::generator::testing {

inline constexpr char kPageHead[] =
    "<HTML>\r\n"
    "<HEAD>\r\n"
    "<META NAME=\"GENERATOR\" Content=\"Microsoft Developer Studio\">\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n"
    "<TITLE>ASP Component VB Dll Generation</TITLE>\r\n"
    "</HEAD>\r\n"
    "<BODY background=\"morvanebg.gif\">\r\n";

// The report lines 2 to 10 for the source C:\src, the target C:\out and the DLL Shop.
inline constexpr char kShopReportNotes[] =
    "Important Notes: <BR>\r\n"
    "1. C:\\out\\Shop.bat file was generated in C:\\out<BR>\r\n"
    "2. You can now run it from Dos prompt to generate your dll file in C:\\out<BR>\r\n"
    "3. Or you can use vb6 to open the generated project file C:\\out\\Shop.vbp to do "
    "editing to your classes.<BR>\r\n"
    "4. Now you should copy your original asp files in C:\\src somewhere and then replace "
    "by all the new asp(s) generated in C:\\out directory.<BR>\r\n"
    "6. Now you should be able to rerun your asp from IIS using the dll version in a much "
    "faster speed.<BR>\r\n"
    "7. If you need to install your dlls in production server machines, you should run VB's "
    "package wizard to package your generated dll to include all the necessary vb runtime "
    "dlls.<BR>\r\n"
    "</BODY>\r\n"
    "</HTML>\r\n";

inline constexpr char kProjectHeader[] =
    "Type=OleDll\r\n"
    "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINDOWS\\System32\\"
    "StdOle2.Tlb#OLE Automation\r\n"
    "Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#C:\\WINDOWS\\System32\\"
    "inetsrv\\asp.dll#Microsoft Active Server Pages Object Library\r\n";

// Trailer lines 5 to 31, the same for every DLL name.
inline constexpr char kProjectTrailerTail[] =
    "HelpContextID=\"0\"\r\n"
    "CompatibleMode=\"1\"\r\n"
    "MajorVer=1\r\n"
    "MinorVer=0\r\n"
    "RevisionVer=0\r\n"
    "AutoIncrementVer=0\r\n"
    "ServerSupportFiles=0\r\n"
    "VersionCompanyName=\"kelmaro\"\r\n"
    "CompilationType=0\r\n"
    "OptimizationType=0\r\n"
    "FavorPentiumPro(tm)=0\r\n"
    "CodeViewDebugInfo=0\r\n"
    "NoAliasing=0\r\n"
    "BoundsCheck=0\r\n"
    "OverflowCheck=0\r\n"
    "FlPointCheck=0\r\n"
    "FDIVCheck=0\r\n"
    "UnroundedFP=0\r\n"
    "StartMode=1\r\n"
    "Unattended=0\r\n"
    "Retained=0\r\n"
    "ThreadPerObject=0\r\n"
    "MaxNumberOfThreads=1\r\n"
    "ThreadingModel=1\r\n"
    "\r\n"
    "[MS Transaction Server]\r\n"
    "AutoRefresh=1\r\n";

inline std::string ShopTrailer() {
  return std::string(
             "Startup=\"(None)\"\r\n"
             "ExeName32=\"Shop.dll\"\r\n"
             "Command32=\"\"\r\n"
             "Name=\"tShop\"\r\n") +
         kProjectTrailerTail;
}

// The class module header block, and a whole class module with the procedures copied and
// the page method's `body` (lines ending in CR LF), as the page translation writes them.
inline std::string ClassHeader(const std::string& name) {
  return translator::testing::ExpectedHeader(name);
}
inline std::string ClassModule(const std::string& name, const std::string& procedures,
                               const std::string& body) {
  return translator::testing::ExpectedModule(name, procedures, "", body);
}

}  // namespace vorlintex::generator::testing
