#include "pagehost/page_objects.h"

#include <gtest/gtest.h>

namespace vorlintex::pagehost {
namespace {

// How a web request's fields are looked up is checked through the server; the collection
// checks its index, which no page of ours goes past.
TEST(PageRequestTest, AFormCollectionOutlivesItsRequestAndChecksItsIndex) {
  std::shared_ptr<host::FormCollection> kept;
  ASSERT_TRUE(PageRequest({}, {{"asplist", "a.asp"}, {"x", "y"}, {"AspList", "b.asp"}})
                  .Form("ASPLIST", &kept)
                  .ok());
  std::string item, seen;
  for (int index : {1, 2, 0, 3}) {
    Status status = kept->Item(index, &item);
    seen += (status.ok() ? item : status.ToString()) + "; ";
  }
  EXPECT_EQ(seen,
            "a.asp; b.asp; Invalid argument: Request.Form: index 0 is out of range; "
            "Invalid argument: Request.Form: index 3 is out of range; ");
}

// The page's components see posted names in UTF-8, as the file system spells them, and what
// they write in UTF-8 is sent in the page's character set.
TEST(PageRequestTest, NamesCrossThePageInItsCharacterSet) {
  PageRequest request({{"sourcedir", "/tmp/src-caf\xE9"}}, {{"asplist", "&#22823;.asp"}});
  std::string value;
  ASSERT_TRUE(request.Item("sourcedir", &value).ok());
  EXPECT_EQ(value, "/tmp/src-caf\xC3\xA9");
  std::shared_ptr<host::FormCollection> list;
  ASSERT_TRUE(request.Form("asplist", &list).ok());
  ASSERT_TRUE(list->Item(1, &value).ok());
  EXPECT_EQ(value, "\xE5\xA4\xA7.asp");
  PageResponse response;
  ASSERT_TRUE(response.Write("<option>caf\xC3\xA9</option>").ok());
  ASSERT_TRUE(response.Write("<option>\xE5\xA4\xA7.asp</option>").ok());
  EXPECT_EQ(response.PageBody(), "<option>caf\xE9</option><option>&#22823;.asp</option>");
}

}  // namespace
}  // namespace vorlintex::pagehost
