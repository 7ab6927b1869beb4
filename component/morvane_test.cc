// The component's life inside a page host, reached by its ProgID as a host page reaches it.
#include "component/morvane.h"

#include <gtest/gtest.h>

#include <tuple>

#include "contract/test_host.h"
#include "platform/memory_env.h"

namespace vorlintex {
namespace {

using Args = std::vector<automation::Variant>;

TEST(MorvaneTest, OneInstanceServesPagesBetweenOnStartPageAndOnEndPage) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFile("C:\\site\\header.inc", "");
  MemoryEnv env(files);
  automation::ClassRegistry registry;
  RegisterMorvane(&registry, Services{&env, nullptr});
  std::unique_ptr<automation::Object> object;
  EXPECT_EQ(registry.CreateObject("tvorlintex.nothing", &object).code(), Status::Code::kNotFound);
  ASSERT_TRUE(registry.CreateObject("TVorlintex.Morvane", &object).ok());

  Args none, text{std::string("C:\\site\\*.inc")};
  // Each failure names the method as called.
  const std::tuple<const char*, Args*, Status::Code> wrong_calls[] = {
      {"morvane", &none, Status::Code::kInvalidArgument},  // no context yet
      {"Render", &none, Status::Code::kNotSupported},
      {"OnStartPage", &none, Status::Code::kInvalidArgument},
      {"onStartPage", &text, Status::Code::kInvalidArgument},
      {"Main", &text, Status::Code::kInvalidArgument},
      {"GetFiles", &none, Status::Code::kInvalidArgument}};
  for (auto [method, args, code] : wrong_calls) {
    Status status = object->Invoke(method, *args);
    EXPECT_EQ(status.code(), code) << method;
    EXPECT_EQ(status.path(), method);
  }
  auto context = std::make_shared<host::MemoryContext>();
  Args start{std::shared_ptr<host::ScriptingContext>(context)};
  ASSERT_TRUE(object->Invoke("onstartpage", start).ok());
  EXPECT_TRUE(object->Invoke("MAIN", none).ok());
  EXPECT_TRUE(context->property_reads().empty());
  ASSERT_TRUE(object->Invoke("morvane", none).ok());
  EXPECT_EQ(context->property_reads(),
            (std::vector<std::string>{"Application", "Request", "Session", "Response", "Server"}));
  const std::string entry_page = context->response().body();
  EXPECT_EQ(entry_page.substr(0, 32), "<script language=\"JavaScript\">\r\n");
  ASSERT_TRUE(object->Invoke("GetFiles", text).ok());
  EXPECT_EQ(context->response().body(),
            entry_page + "<option value=\"header.inc\">header.inc</option>\r\n");
  ASSERT_TRUE(object->Invoke("OnEndPage", none).ok());
  EXPECT_EQ(context.use_count(), 2);  // ours and the argument's: the instance let go of its own
  EXPECT_EQ(object->Invoke("morvane", none).code(), Status::Code::kInvalidArgument);
  EXPECT_TRUE(object->Invoke("OnEndPage", none).ok());
}

// A host calling back from inside Response.Write, as a web server's script may: each call that
// would replace the running page's host objects or write into its page is refused and changes
// nothing, and the page comes out whole, as without the calls. After OnEndPage the page's
// Response is let go, and GetFiles writes to it no more.
TEST(MorvaneTest, CallsBackFromTheHostWhileAPageRunsAreRefused) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFile("C:\\site\\a.asp", "");
  MemoryEnv env(files);
  auto selection_context = [] {
    auto context = std::make_shared<host::MemoryContext>();
    context->request().SetQueryField("PageNumber", "1");
    context->request().SetQueryField("sourcedir", "C:\\site");
    return context;
  };
  // The page without calls back, from the same instance first.
  Morvane component(Services{&env, nullptr});
  auto plain_context = selection_context();
  ASSERT_TRUE(component.OnStartPage(plain_context).ok() && component.morvane().ok());
  ASSERT_NE(plain_context->response().body().find("a.asp</option>"), std::string::npos);
  auto context = selection_context();
  auto other = std::make_shared<host::MemoryContext>();
  Args none, text{std::string("C:\\site\\*.asp")};
  Args start{std::shared_ptr<host::ScriptingContext>(other)};
  const std::pair<const char*, Args*> calls[] = {
      {"OnStartPage", &start}, {"morvane", &none}, {"GetFiles", &text}, {"OnEndPage", &none}};
  int depth = 0, refused = 0;
  context->response().CallBackOnWrite([&] {
    if (depth++ == 0) {
      for (auto [method, args] : calls) {
        Status status = component.Invoke(method, *args);
        refused += status.code() == Status::Code::kBusy && status.path() == method;
      }
      EXPECT_TRUE(component.Invoke("Main", none).ok());
    }
    --depth;
  });
  ASSERT_TRUE(component.OnStartPage(context).ok());
  ASSERT_TRUE(component.morvane().ok());
  const int writes = context->response().write_count();
  EXPECT_EQ(refused, 4 * writes);
  EXPECT_EQ(context->response().body(), plain_context->response().body());
  EXPECT_TRUE(other->property_reads().empty());

  // Between calls, the instance serves again.
  ASSERT_TRUE(component.GetFiles(std::get<std::string>(text[0])).ok());
  EXPECT_EQ(context->response().write_count(), writes + 1);
  ASSERT_TRUE(component.OnEndPage().ok());
  EXPECT_EQ(component.Invoke("GetFiles", text).code(), Status::Code::kIOError);
  EXPECT_EQ(context->response().write_count(), writes + 1);
}

TEST(MorvaneTest, AFailingPropertyReadEndsThePageMethodBeforeAnyWrite) {
  MemoryEnv env(fs::MemoryFileSystem::Create());
  for (const char* property : {"Application", "Request", "Session", "Response", "Server"}) {
    Morvane component(Services{&env, nullptr});
    auto context = std::make_shared<host::MemoryContext>();
    context->FailProperty(property);
    ASSERT_TRUE(component.OnStartPage(context).ok());
    Status status = component.morvane();  // the host's failure, passed on as it is
    EXPECT_EQ(status.path(), property);
    EXPECT_EQ(status.code(), Status::Code::kIOError);
    EXPECT_EQ(context->property_reads().back(), property);
    EXPECT_EQ(context->response().body(), "");
  }
}

}  // namespace
}  // namespace vorlintex
