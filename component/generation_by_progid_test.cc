// A generation run as a page host starts it: the component created by its ProgID, the posted
// PageNumber "2", and the run's page and files compared byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "component/morvane.h"
#include "contract/automation.h"
#include "contract/memory_host.h"
#include "generator/generation_run_test_texts.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

using testing::ClassModule;
using testing::kPageHead;
using testing::kProjectHeader;
using testing::kShopReportNotes;
using testing::ShopTrailer;

class CountingObserver : public RunObserver {
 public:
  void PageConverted(std::string_view base_name) override { pages.emplace_back(base_name); }
  void RunFinished(const RunSummary&) override { ++runs; }
  int runs = 0;
  std::vector<std::string> pages;
};

TEST(GenerationByProgIdTest, PageNumberTwoRunsTheGenerationThroughTheComponent) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
  MemoryEnv env(files);
  env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command",
                                 "\"C:\\VB98\\vb6.exe\" \"%1\"");
  TargetTurns turns;
  CountingObserver observer;
  automation::ClassRegistry registry;
  RegisterMorvane(&registry, Services{&env, &turns, &observer});

  std::unique_ptr<automation::Object> component;
  ASSERT_TRUE(registry.CreateObject("tvorlintex.morvane", &component).ok());
  auto context = std::make_shared<host::MemoryContext>();
  context->request().AddFormField("PageNumber", "2");
  context->request().AddFormField("sourcedir", "C:\\src");
  context->request().AddFormField("targetdir", "C:\\out");
  context->request().AddFormField("dllname", "Shop.dll");
  context->request().AddFormField("asplist", "Orders.asp");

  std::vector<automation::Variant> start{std::shared_ptr<host::ScriptingContext>(context)};
  ASSERT_TRUE(component->Invoke("OnStartPage", start).ok());
  std::vector<automation::Variant> none;
  ASSERT_TRUE(component->Invoke("morvane", none).ok());
  ASSERT_TRUE(component->Invoke("OnEndPage", none).ok());

  EXPECT_EQ(context->response().body(),
            std::string(kPageHead) + "Done generating all the VB files in C:\\out.<BR><BR>\r\n" +
                kShopReportNotes);
  EXPECT_EQ(files->Contents("C:\\out\\orders.cls"),
            ClassModule("orders", "", "Response.Write (\"<p>Orders</p>\" & vbCrlf)\r\n"));
  EXPECT_EQ(files->Contents("C:\\out\\orders.asp"),
            "<%\r\n"
            "Dim corders\r\n"
            "Set corders = Server.CreateObject(\"tShop.orders\")\r\n"
            "corders.orders\r\n"
            "Set corders = Nothing\r\n"
            "%>\r\n");
  EXPECT_EQ(files->Contents("C:\\out\\orders.vbw"), "orders = 242, 242, 873, 753, Z\r\n");
  EXPECT_EQ(files->Contents("C:\\out\\Shop.vbp"),
            std::string(kProjectHeader) + "Class=orders; orders.cls\r\n" + ShopTrailer());
  EXPECT_EQ(files->Contents("C:\\out\\Shop.bat"),
            "\"\"C:\\VB98\\vb6.exe\"\" C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(files->AllFiles().size(), 6u);
  EXPECT_EQ(observer.runs, 1);
  EXPECT_EQ(observer.pages, (std::vector<std::string>{"orders"}));
}

}  // namespace
}  // namespace vorlintex::generator
