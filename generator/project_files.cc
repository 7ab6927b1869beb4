#include "generator/project_files.h"

#include "contract/join.h"

namespace vorlintex::generator {

void WriteProjectHeader(OutputFile& project, const std::string& windows_dir,
                        bool regexp_reference) {
  project.WriteLine("Type=OleDll");
  project.WriteLine(Join({"Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#",
                          windows_dir, "\\System32\\StdOle2.Tlb#OLE Automation"}));
  project.WriteLine(
      Join({"Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#", windows_dir,
            "\\System32\\inetsrv\\asp.dll#Microsoft Active Server Pages Object Library"}));
  if (!regexp_reference) return;
  project.WriteLine(
      Join({"Reference=*\\G{3F4DACA7-160D-11D2-A8E9-00104B365C9F}#5.5#0#", windows_dir,
            "\\System32\\vbscript.dll\\3#Microsoft VBScript Regular Expressions 5.5"}));
}

void WriteClassLine(OutputFile& project, const std::string& base_name) {
  project.WriteLine(Join({"Class=", base_name, "; ", base_name, ".cls"}));
}

void WriteProjectTrailer(OutputFile& project, const std::string& dll_name) {
  project.WriteLine("Startup=\"(None)\"");
  project.WriteLine(Join({"ExeName32=\"", dll_name, ".dll\""}));
  project.WriteLine("Command32=\"\"");
  project.WriteLine(Join({"Name=\"t", dll_name, "\""}));
  project.WriteLine("HelpContextID=\"0\"");
  project.WriteLine("CompatibleMode=\"1\"");
  project.WriteLine("MajorVer=1");
  project.WriteLine("MinorVer=0");
  project.WriteLine("RevisionVer=0");
  project.WriteLine("AutoIncrementVer=0");
  project.WriteLine("ServerSupportFiles=0");
  project.WriteLine("VersionCompanyName=\"kelmaro\"");
  project.WriteLine("CompilationType=0");
  project.WriteLine("OptimizationType=0");
  project.WriteLine("FavorPentiumPro(tm)=0");
  project.WriteLine("CodeViewDebugInfo=0");
  project.WriteLine("NoAliasing=0");
  project.WriteLine("BoundsCheck=0");
  project.WriteLine("OverflowCheck=0");
  project.WriteLine("FlPointCheck=0");
  project.WriteLine("FDIVCheck=0");
  project.WriteLine("UnroundedFP=0");
  project.WriteLine("StartMode=1");
  project.WriteLine("Unattended=0");
  project.WriteLine("Retained=0");
  project.WriteLine("ThreadPerObject=0");
  project.WriteLine("MaxNumberOfThreads=1");
  project.WriteLine("ThreadingModel=1");
  project.WriteLine("");
  project.WriteLine("[MS Transaction Server]");
  project.WriteLine("AutoRefresh=1");
}

void WriteWorkspaceLine(OutputFile& workspace, const std::string& base_name) {
  workspace.WriteLine(Join({base_name, " = 242, 242, 873, 753, Z"}));
}

}  // namespace vorlintex::generator
