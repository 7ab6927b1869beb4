#include "generator/replacement_page.h"

#include "contract/join.h"

namespace vorlintex::generator {

void WriteReplacementPage(OutputFile& page, const std::string& base_name,
                          const std::string& dll_name) {
  page.WriteLine("<%");
  page.WriteLine(Join({"Dim c", base_name}));
  page.WriteLine(
      Join({"Set c", base_name, " = Server.CreateObject(\"t", dll_name, ".", base_name, "\")"}));
  page.WriteLine(Join({"c", base_name, ".", base_name}));
  page.WriteLine(Join({"Set c", base_name, " = Nothing"}));
  page.WriteLine("%>");
}

}  // namespace vorlintex::generator
