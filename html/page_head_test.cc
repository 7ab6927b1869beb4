#include "html/page_head.h"

#include <gtest/gtest.h>

#include "contract/test_host.h"

namespace vorlintex::html {
namespace {

TEST(PageHeadTest, SevenLinesEachOneWrite) {
  host::MemoryResponse response;
  PageWriter page(response);
  WritePageHead(page);
  ASSERT_TRUE(page.ok());
  EXPECT_EQ(response.body(),
            "<HTML>\r\n"
            "<HEAD>\r\n"
            "<META NAME=\"GENERATOR\" Content=\"Microsoft Developer Studio\">\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n"
            "<TITLE>ASP Component VB Dll Generation</TITLE>\r\n"
            "</HEAD>\r\n"
            "<BODY background=\"morvanebg.gif\">\r\n");
  EXPECT_EQ(response.write_count(), 7);
}

TEST(PageHeadTest, StopsAtTheFirstFailingWrite) {
  host::MemoryResponse response;
  response.FailFromWrite(3);
  PageWriter page(response);
  WritePageHead(page);
  EXPECT_FALSE(page.ok());
  page.Line("after the failure");
  EXPECT_EQ(response.body(), "<HTML>\r\n<HEAD>\r\n");
  EXPECT_EQ(response.write_count(), 3);
}

}  // namespace
}  // namespace vorlintex::html
