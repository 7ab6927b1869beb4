#include "pagehost/page_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorlintex::pagehost {
namespace {

// Every value of a Form collection, in order, through its Count and Item.
std::vector<std::string> ValuesOf(host::FormCollection& collection) {
  int count = -1;
  EXPECT_TRUE(collection.Count(&count).ok());
  std::vector<std::string> values;
  for (int i = 1; i <= count; ++i) {
    std::string value;
    EXPECT_TRUE(collection.Item(i, &value).ok());
    values.push_back(value);
  }
  return values;
}

TEST(PageRequestTest, FormGivesThePostedValuesOfANameInOrder) {
  PageRequest request({{"asplist", "from the query"}}, {{"PageNumber", "2"},
                                                        {"asplist", "b.asp"},
                                                        {"sourcedir", "C:\\site"},
                                                        {"ASPLIST", "a.asp"},
                                                        {"asplist", ""},
                                                        {"asplistx", "no"}});
  struct Case {
    const char* name;
    std::vector<std::string> values;
  } cases[] = {
      {"asplist", {"b.asp", "a.asp", ""}},
      {"AspList", {"b.asp", "a.asp", ""}},
      {"sourcedir", {"C:\\site"}},
      {"missing", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<host::FormCollection> collection;
    ASSERT_TRUE(request.Form(c.name, &collection).ok());
    ASSERT_NE(collection, nullptr);
    EXPECT_EQ(ValuesOf(*collection), c.values);
  }
  std::string item;
  ASSERT_TRUE(request.Item("asplist", &item).ok());
  EXPECT_EQ(item, "from the query");
  ASSERT_TRUE(request.Item("SOURCEDIR", &item).ok());
  EXPECT_EQ(item, "C:\\site");
}

TEST(PageRequestTest, FormCollectionOutlivesTheRequestAndChecksItsIndex) {
  std::shared_ptr<host::FormCollection> collection;
  {
    PageRequest request({}, {{"asplist", "one.asp"}, {"asplist", "two.asp"}});
    ASSERT_TRUE(request.Form("asplist", &collection).ok());
  }
  EXPECT_EQ(ValuesOf(*collection), (std::vector<std::string>{"one.asp", "two.asp"}));
  std::string value = "kept";
  for (int index : {0, 3, -1}) {
    Status status = collection->Item(index, &value);
    EXPECT_EQ(status.path(), "Request.Form");
    EXPECT_EQ(status.reason(), "index " + std::to_string(index) + " is out of range");
  }
}

// A console run's pages come as a list counted after the form's own fields of that name.
TEST(PageRequestTest, APostedListFollowsTheFieldsOfItsName) {
  auto pages = std::make_shared<const std::vector<std::string>>(
      std::vector<std::string>{"Default.asp", "news.asp"});
  PageRequest request({{"sourcedir", "from the query"}},
                      {{"asplist", "first.asp"}, {"sourcedir", "C:\\site"}},
                      PostedList{"asplist", pages});
  struct Case {
    const char* name;
    std::vector<std::string> values;
    const char* item;
  } cases[] = {
      {"asplist", {"first.asp", "Default.asp", "news.asp"}, "first.asp, Default.asp, news.asp"},
      {"ASPLIST", {"first.asp", "Default.asp", "news.asp"}, "first.asp, Default.asp, news.asp"},
      {"sourcedir", {"C:\\site"}, "from the query"},
      {"asplis", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<host::FormCollection> collection;
    ASSERT_TRUE(request.Form(c.name, &collection).ok());
    EXPECT_EQ(ValuesOf(*collection), c.values);
    std::string item;
    ASSERT_TRUE(request.Item(c.name, &item).ok());
    EXPECT_EQ(item, c.item);
  }

  PageRequest only_list({}, {}, PostedList{"asplist", pages});
  std::string item;
  ASSERT_TRUE(only_list.Item("asplist", &item).ok());
  EXPECT_EQ(item, "Default.asp, news.asp");
  std::shared_ptr<host::FormCollection> collection;
  ASSERT_TRUE(only_list.Form("asplist", &collection).ok());
  std::string value = "kept";
  EXPECT_EQ(collection->Item(3, &value).reason(), "index 3 is out of range");
  EXPECT_EQ(value, "kept");
}

}  // namespace
}  // namespace vorlintex::pagehost
