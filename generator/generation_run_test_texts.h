// The fixed texts a generation run writes, spelled out once for the tests that compare its
// page and files byte for byte, and a run on a file store in memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
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
         " directory.<BR>\r\n"
         "6. Now you should be able to rerun your asp from IIS using the dll version in a much "
         "faster speed.<BR>\r\n"
         "7. If you need to install your dlls in production server machines, you should run VB's "
         "package wizard to package your generated dll to include all the necessary vb runtime "
         "dlls.<BR>\r\n" +
         kPageEnd;
}

// The project file as far as its Class lines, for the Windows directory `windows`.
inline std::string ProjectHead(const std::string& class_lines,
                               const std::string& windows = "C:\\WINDOWS") {
  return "Type=OleDll\r\n"
         "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#" +
         windows +
         "\\System32\\StdOle2.Tlb#OLE Automation\r\n"
         "Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#" +
         windows + "\\System32\\inetsrv\\asp.dll#Microsoft Active Server Pages Object Library\r\n" +
         class_lines;
}

inline std::string Project(const std::string& dll, const std::string& class_lines,
                           const std::string& windows = "C:\\WINDOWS") {
  return ProjectHead(class_lines, windows) +
         "Startup=\"(None)\"\r\n"
         "ExeName32=\"" +
         dll +
         ".dll\"\r\n"
         "Command32=\"\"\r\n"
         "Name=\"t" +
         dll +
         "\"\r\n"
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
}

inline std::string ReplacementPage(const std::string& base, const std::string& dll) {
  return "<%\r\nDim c" + base + "\r\nSet c" + base + " = Server.CreateObject(\"t" + dll + "." +
         base + "\")\r\nc" + base + "." + base + "\r\nSet c" + base + " = Nothing\r\n%>\r\n";
}

inline std::string Workspace(const std::string& base) {
  return base + " = 242, 242, 873, 753, Z\r\n";
}

// A class module with the procedures copied and the page method's `body`.
inline std::string ClassModule(const std::string& base, const std::string& procedures,
                               const std::string& body) {
  return translator::testing::ExpectedModule(base, procedures, "", body);
}

// A class module of a page without procedures whose body is the one HTML line `html`.
inline std::string HtmlClass(const std::string& base, const std::string& html) {
  return ClassModule(base, "", "Response.Write (\"" + html + "\" & vbCrlf)\r\n");
}

class Observer : public RunObserver {
 public:
  void FileWritten(std::string_view path) override { files.emplace_back(path); }
  void RunFinished(const RunSummary&) override { ++runs; }
  int runs = 0;
  std::vector<std::string> files;  // the files that took their names, as told
};

// A run on a file store in memory, told to `observer`.
struct MemoryRun {
  RunSummary Run(const std::string& source, const std::string& target, const std::string& dll,
                 std::vector<std::string> pages) {
    const RunInput input{source, target, dll, std::move(pages)};
    return RunGeneration(input, response, Services{&env, &turns, &observer});
  }
  std::string File(const std::string& path) const {
    return files->Contents(path).value_or("<no file " + path + ">");
  }

  std::shared_ptr<fs::MemoryFileSystem> files = fs::MemoryFileSystem::Create();
  MemoryEnv env{files};
  host::MemoryResponse response;
  TargetTurns turns;
  Observer observer;
};

}  // namespace vorlintex::generator::testing
