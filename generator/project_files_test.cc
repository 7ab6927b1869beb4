#include "generator/project_files.h"

#include <gtest/gtest.h>

#include "generator/replacement_page.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

// The bytes a writer leaves in a fresh file.
template <typename Writer>
std::string Written(Writer write) {
  std::shared_ptr<fs::MemoryFileSystem> files = fs::MemoryFileSystem::Create();
  files->AddFolder("C:\\out");
  std::unique_ptr<fs::TextFileService> service = files->NewService();
  {
    OutputFile file(*service, "C:\\out\\file", nullptr);
    write(file);
  }
  return files->Contents("C:\\out\\file").value_or("<no file>");
}

TEST(ProjectFilesTest, HeaderNamesTheWindowsDirectory) {
  EXPECT_EQ(Written([](OutputFile& s) { WriteProjectHeader(s, "C:\\WINDOWS"); }),
            "Type=OleDll\r\n"
            "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINDOWS\\System32\\"
            "StdOle2.Tlb#OLE Automation\r\n"
            "Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#C:\\WINDOWS\\System32\\"
            "inetsrv\\asp.dll#Microsoft Active Server Pages Object Library\r\n");
}

TEST(ProjectFilesTest, HeaderWithoutWindowsDirectoryStartsThePathsAtSystem32) {
  EXPECT_EQ(Written([](OutputFile& s) { WriteProjectHeader(s, ""); }),
            "Type=OleDll\r\n"
            "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#\\System32\\"
            "StdOle2.Tlb#OLE Automation\r\n"
            "Reference=*\\G{D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}#2.0#0#\\System32\\"
            "inetsrv\\asp.dll#Microsoft Active Server Pages Object Library\r\n");
}

TEST(ProjectFilesTest, ClassAndWorkspaceLines) {
  EXPECT_EQ(Written([](OutputFile& s) { WriteClassLine(s, "default"); }),
            "Class=default; default.cls\r\n");
  EXPECT_EQ(Written([](OutputFile& s) { WriteWorkspaceLine(s, "default"); }),
            "default = 242, 242, 873, 753, Z\r\n");
}

TEST(ProjectFilesTest, TrailerKeepsTheDllNameCase) {
  EXPECT_EQ(Written([](OutputFile& s) { WriteProjectTrailer(s, "Shop"); }),
            "Startup=\"(None)\"\r\n"
            "ExeName32=\"Shop.dll\"\r\n"
            "Command32=\"\"\r\n"
            "Name=\"tShop\"\r\n"
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
            "AutoRefresh=1\r\n");
}

TEST(ReplacementPageTest, SixLinesCreatingTheClassByItsProgId) {
  EXPECT_EQ(Written([](OutputFile& s) { WriteReplacementPage(s, "orders", "shop"); }),
            "<%\r\n"
            "Dim corders\r\n"
            "Set corders = Server.CreateObject(\"tshop.orders\")\r\n"
            "corders.orders\r\n"
            "Set corders = Nothing\r\n"
            "%>\r\n");
  EXPECT_EQ(Written([](OutputFile& s) { WriteReplacementPage(s, "menu.inc", "Shop"); }),
            "<%\r\n"
            "Dim cmenu.inc\r\n"
            "Set cmenu.inc = Server.CreateObject(\"tShop.menu.inc\")\r\n"
            "cmenu.inc.menu.inc\r\n"
            "Set cmenu.inc = Nothing\r\n"
            "%>\r\n");
}

}  // namespace
}  // namespace vorlintex::generator
