// The component's lifecycle inside a page host, and the automation layer that reaches it.
#include "component/morvane.h"

#include <gtest/gtest.h>

#include "contract/memory_host.h"
#include "platform/memory_env.h"

namespace vorlintex {
namespace {

class MorvaneTest : public ::testing::Test {
 protected:
  MorvaneTest() : env_(fs::MemoryFileSystem::Create()) {
    RegisterMorvane(&registry_, Services{&env_, nullptr, nullptr});
  }

  std::unique_ptr<automation::Object> Create() {
    std::unique_ptr<automation::Object> object;
    Status status = registry_.CreateObject("tvorlintex.morvane", &object);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return object;
  }

  Status Call(automation::Object& object, std::string_view method) {
    std::vector<automation::Variant> args;
    return object.Invoke(method, args);
  }

  MemoryEnv env_;
  automation::ClassRegistry registry_;
};

TEST_F(MorvaneTest, AllSixMembersAreEmptyAtCreation) {
  Morvane component(Services{&env_, nullptr, nullptr});
  EXPECT_EQ(component.ASPsc, nullptr);
  EXPECT_EQ(component.Application, nullptr);
  EXPECT_EQ(component.Request, nullptr);
  EXPECT_EQ(component.Session, nullptr);
  EXPECT_EQ(component.Response, nullptr);
  EXPECT_EQ(component.Server, nullptr);
}

TEST_F(MorvaneTest, OneRequestThroughTheAutomationLayer) {
  auto object = Create();
  auto context = std::make_shared<host::MemoryContext>();
  std::vector<automation::Variant> args{std::shared_ptr<host::ScriptingContext>(context)};
  ASSERT_TRUE(object->Invoke("OnStartPage", args).ok());
  ASSERT_TRUE(Call(*object, "morvane").ok());
  ASSERT_TRUE(Call(*object, "OnEndPage").ok());
  EXPECT_EQ(context->response().body().substr(0, 32), "<script language=\"JavaScript\">\r\n");
  EXPECT_EQ(context->property_reads(),
            (std::vector<std::string>{"Application", "Request", "Session", "Response", "Server"}));
  // The instance held its own reference, released by OnEndPage.
  EXPECT_EQ(context.use_count(), 2);  // ours and the argument's
}

TEST_F(MorvaneTest, OnEndPageReleasesOnlyTheContext) {
  Morvane component(Services{&env_, nullptr, nullptr});
  auto context = std::make_shared<host::MemoryContext>();
  ASSERT_TRUE(component.OnStartPage(context).ok());
  ASSERT_TRUE(component.morvane().ok());
  ASSERT_TRUE(component.OnEndPage().ok());
  EXPECT_EQ(component.ASPsc, nullptr);
  EXPECT_NE(component.Request, nullptr);
  EXPECT_NE(component.Response, nullptr);
  EXPECT_EQ(context.use_count(), 1);
}

TEST_F(MorvaneTest, OnEndPageTwiceOrWithoutStartIsNoError) {
  Morvane component(Services{&env_, nullptr, nullptr});
  EXPECT_TRUE(component.OnEndPage().ok());
  EXPECT_TRUE(component.OnStartPage(std::make_shared<host::MemoryContext>()).ok());
  EXPECT_TRUE(component.OnEndPage().ok());
  EXPECT_TRUE(component.OnEndPage().ok());
  EXPECT_EQ(component.ASPsc, nullptr);
}

TEST_F(MorvaneTest, SecondPageMethodCallTakesTheHostObjectsAfresh) {
  Morvane component(Services{&env_, nullptr, nullptr});
  auto first = std::make_shared<host::MemoryContext>();
  ASSERT_TRUE(component.OnStartPage(first).ok());
  ASSERT_TRUE(component.morvane().ok());
  auto second = std::make_shared<host::MemoryContext>();
  ASSERT_TRUE(component.OnStartPage(second).ok());
  EXPECT_EQ(first.use_count(), 1);  // the earlier context was released
  ASSERT_TRUE(component.morvane().ok());
  EXPECT_EQ(first->response().body(), second->response().body());
  EXPECT_EQ(second->property_reads().size(), 5u);
  ASSERT_TRUE(component.morvane().ok());
  EXPECT_EQ(second->property_reads().size(), 10u);
  EXPECT_EQ(second->response().body().size(), 2 * first->response().body().size());
}

TEST_F(MorvaneTest, PageMethodWithoutContextFailsAndWritesNothing) {
  Morvane component(Services{&env_, nullptr, nullptr});
  EXPECT_FALSE(component.morvane().ok());
  auto context = std::make_shared<host::MemoryContext>();
  ASSERT_TRUE(component.OnStartPage(context).ok());
  ASSERT_TRUE(component.OnEndPage().ok());
  EXPECT_FALSE(component.morvane().ok());
  EXPECT_EQ(context->response().body(), "");
  EXPECT_TRUE(context->property_reads().empty());
}

TEST_F(MorvaneTest, AFailingPropertyReadEndsThePageMethod) {
  for (const char* property : {"Application", "Request", "Session", "Response", "Server"}) {
    Morvane component(Services{&env_, nullptr, nullptr});
    auto context = std::make_shared<host::MemoryContext>();
    context->FailProperty(property);
    ASSERT_TRUE(component.OnStartPage(context).ok());
    Status status = component.morvane();
    EXPECT_FALSE(status.ok()) << property;
    EXPECT_EQ(status.path(), property);
    EXPECT_EQ(context->property_reads().back(), property);
    EXPECT_EQ(context->response().body(), "");
  }
}

TEST_F(MorvaneTest, MainChangesNothingAndWritesNothing) {
  auto object = Create();
  auto context = std::make_shared<host::MemoryContext>();
  std::vector<automation::Variant> args{std::shared_ptr<host::ScriptingContext>(context)};
  ASSERT_TRUE(object->Invoke("onstartpage", args).ok());
  EXPECT_TRUE(Call(*object, "MAIN").ok());
  EXPECT_EQ(context->response().body(), "");
  EXPECT_TRUE(context->property_reads().empty());
}

TEST_F(MorvaneTest, UnknownProgIdMethodOrArgumentsAreClearErrors) {
  std::unique_ptr<automation::Object> object;
  Status status = registry_.CreateObject("tvorlintex.nothing", &object);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), "tvorlintex.nothing");
  EXPECT_EQ(object, nullptr);
  EXPECT_TRUE(registry_.CreateObject("TVorlintex.Morvane", &object).ok());

  status = Call(*object, "Render");
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), "Render");
  EXPECT_FALSE(Call(*object, "OnStartPage").ok());  // no context given
  std::vector<automation::Variant> text{std::string("C:\\src\\*.asp")};
  EXPECT_FALSE(object->Invoke("OnStartPage", text).ok());
  EXPECT_FALSE(object->Invoke("Main", text).ok());
}

TEST_F(MorvaneTest, InstancesShareNothing) {
  auto a = Create();
  auto b = Create();
  auto context = std::make_shared<host::MemoryContext>();
  std::vector<automation::Variant> args{std::shared_ptr<host::ScriptingContext>(context)};
  ASSERT_TRUE(a->Invoke("OnStartPage", args).ok());
  EXPECT_TRUE(Call(*a, "morvane").ok());
  EXPECT_FALSE(Call(*b, "morvane").ok());
}

}  // namespace
}  // namespace vorlintex
