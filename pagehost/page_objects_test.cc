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

// A console run's pages come as a list counted after the form's own fields of that name. (How
// the query and posted fields of a web request are looked up is checked through the server.)
TEST(PageRequestTest, APostedListFollowsTheFieldsOfItsName) {
  auto pages = std::make_shared<const std::vector<std::string>>(
      std::vector<std::string>{"Default.asp", "news.asp"});
  const std::vector<std::string> all = {"first.asp", "Default.asp", "news.asp"};
  std::shared_ptr<host::FormCollection> kept;
  {
    PageRequest request({{"sourcedir", "from the query"}},
                        {{"asplist", "first.asp"}, {"sourcedir", "C:\\site"}},
                        PostedList{"asplist", pages});
    struct Case {
      const char* name;
      std::vector<std::string> values;
      const char* item;
    } cases[] = {
        {"ASPLIST", all, "first.asp, Default.asp, news.asp"},
        {"sourcedir", {"C:\\site"}, "from the query"},
        {"asplis", {}, ""},
    };
    for (const Case& c : cases) {
      std::shared_ptr<host::FormCollection> collection;
      ASSERT_TRUE(request.Form(c.name, &collection).ok());
      EXPECT_EQ(ValuesOf(*collection), c.values) << c.name;
      std::string item;
      ASSERT_TRUE(request.Item(c.name, &item).ok());
      EXPECT_EQ(item, c.item) << c.name;
    }
    ASSERT_TRUE(request.Form("asplist", &kept).ok());
  }
  // The collection outlives its request, and checks its index.
  EXPECT_EQ(ValuesOf(*kept), all);
  for (int index : {0, 4, -1}) {
    std::string value = "kept";
    Status status = kept->Item(index, &value);
    EXPECT_EQ(status.ToString(),
              "Request.Form: index " + std::to_string(index) + " is out of range");
    EXPECT_EQ(value, "kept");
  }

  PageRequest only_list({}, {}, PostedList{"asplist", pages});
  std::string item;
  ASSERT_TRUE(only_list.Item("asplist", &item).ok());
  EXPECT_EQ(item, "Default.asp, news.asp");
}

}  // namespace
}  // namespace vorlintex::pagehost
