#include "pagehost/page_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorlintex::pagehost {
namespace {

// A console run's pages come as a list counted after the form's own fields of that name. (How
// a web request's query and posted fields are looked up is checked through the server.)
TEST(PageRequestTest, APostedListFollowsTheFieldsOfItsName) {
  auto pages = std::make_shared<const std::vector<std::string>>(
      std::vector<std::string>{"Default.asp", "news.asp"});
  std::shared_ptr<host::FormCollection> kept;
  std::string item;
  {
    PageRequest request({}, {{"asplist", "first.asp"}, {"sourcedir", "C:\\site"}},
                        PostedList{"asplist", pages});
    ASSERT_TRUE(request.Item("ASPLIST", &item).ok());
    EXPECT_EQ(item, "first.asp, Default.asp, news.asp");
    ASSERT_TRUE(request.Form("AspList", &kept).ok());
  }
  // The collection outlives its request, and checks its index.
  std::vector<std::string> values;
  for (int index : {1, 2, 3, 0, 4}) {
    Status status = kept->Item(index, &item);
    values.push_back(status.ok() ? item : status.ToString());
  }
  EXPECT_EQ(values, (std::vector<std::string>{"first.asp", "Default.asp", "news.asp",
                                              "Request.Form: index 0 is out of range",
                                              "Request.Form: index 4 is out of range"}));

  PageRequest only_list({}, {}, PostedList{"asplist", pages});
  ASSERT_TRUE(only_list.Item("asplist", &item).ok());
  EXPECT_EQ(item, "Default.asp, news.asp");
}

}  // namespace
}  // namespace vorlintex::pagehost
