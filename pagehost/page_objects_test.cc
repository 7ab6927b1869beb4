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

}  // namespace
}  // namespace vorlintex::pagehost
