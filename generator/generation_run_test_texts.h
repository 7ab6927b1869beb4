// The fixed texts a generation run writes, spelled out once for the tests that compare its
// files byte for byte, and a run on a file store in memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generator/generation_run.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "platform/fault_injection_env.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "translator/translator_test_support.h"

namespace vorlintex::generator::testing {

// The project file of `class_lines`. Its settings after the names are fixed, a group a line
// here.
inline std::string Project(const std::string& dll, const std::string& class_lines) {
  const std::string head =
      "Type=OleDll\r\n"
      "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINDOWS\\System32\\"
      "StdOle2.Tlb#OLE Automation\r\n"
      "Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#C:\\WINDOWS\\System32\\"
      "inetsrv\\asp.dll#Microsoft Active Server Pages Object Library\r\n" +
      class_lines;
  return head + "Startup=\"(None)\"\r\nExeName32=\"" + dll +
         ".dll\"\r\nCommand32=\"\"\r\nName=\"t" + dll + "\"\r\n" +
         "HelpContextID=\"0\"\r\nCompatibleMode=\"1\"\r\n"
         "MajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\nAutoIncrementVer=0\r\n"
         "ServerSupportFiles=0\r\nVersionCompanyName=\"kelmaro\"\r\n"
         "CompilationType=0\r\nOptimizationType=0\r\nFavorPentiumPro(tm)=0\r\n"
         "CodeViewDebugInfo=0\r\nNoAliasing=0\r\nBoundsCheck=0\r\nOverflowCheck=0\r\n"
         "FlPointCheck=0\r\nFDIVCheck=0\r\nUnroundedFP=0\r\n"
         "StartMode=1\r\nUnattended=0\r\nRetained=0\r\n"
         "ThreadPerObject=0\r\nMaxNumberOfThreads=1\r\nThreadingModel=1\r\n"
         "\r\n[MS Transaction Server]\r\nAutoRefresh=1\r\n";
}

inline std::string ReplacementPage(const std::string& base, const std::string& dll) {
  return "<%\r\nDim c" + base + "\r\nSet c" + base + " = Server.CreateObject(\"t" + dll + "." +
         base + "\")\r\nc" + base + "." + base + "\r\nSet c" + base + " = Nothing\r\n%>\r\n";
}

// A class module of a page without procedures whose body is the one HTML line `html`.
inline std::string HtmlClass(const std::string& base, const std::string& html) {
  return translator::testing::ExpectedModule(base, "", "",
                                             "Response.Write (\"" + html + "\" & vbCrlf)\r\n");
}

// A run on a file store in memory, through a fault injection the tests may tell to fail
// operations, whose turns between processes are noted.
struct MemoryRun {
  RunSummary Run(const std::string& source, const std::string& target, const std::string& dll,
                 std::vector<std::string> pages) {
    const RunInput input{source, target, dll, std::move(pages)};
    return RunGeneration(input, Services{&faults, &turns});
  }
  std::string File(const std::string& path) const {
    return files->Contents(path).value_or("<no file " + path + ">");
  }

  std::shared_ptr<fs::MemoryFileSystem> files = fs::MemoryFileSystem::Create();
  MemoryEnv env{files};
  FaultInjectionEnv faults{env};
  std::vector<std::string> process_turns;  // each turn between processes taken and let go
  TargetTurns turns{[this](const std::string& key) {
    process_turns.push_back("take " + key);
    return std::shared_ptr<void>(nullptr,
                                 [this, key](void*) { process_turns.push_back("let go " + key); });
  }};
};

}  // namespace vorlintex::generator::testing
