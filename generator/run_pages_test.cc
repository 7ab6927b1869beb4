#include "generator/run_pages.h"

#include <gtest/gtest.h>

#include "contract/memory_host.h"
#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

TEST(CompletionReportTest, TenLinesWhenNothingFailed) {
  host::MemoryResponse response;
  ASSERT_TRUE(WriteCompletionReport(response, "C:\\src", "C:\\out", "Shop", {}).ok());
  EXPECT_EQ(
      response.body(),
      "Done generating all the VB files in C:\\out.<BR><BR>\r\n"
      "Important Notes: <BR>\r\n"
      "1. C:\\out\\Shop.bat file was generated in C:\\out<BR>\r\n"
      "2. You can now run it from Dos prompt to generate your dll file in C:\\out<BR>\r\n"
      "3. Or you can use vb6 to open the generated project file C:\\out\\Shop.vbp to do "
      "editing to your classes.<BR>\r\n"
      "4. Now you should copy your original asp files in C:\\src somewhere and then replace "
      "by all the new asp(s) generated in C:\\out directory.<BR>\r\n"
      "6. Now you should be able to rerun your asp from IIS using the dll version in a much "
      "faster speed.<BR>\r\n"
      "7. If you need to install your dlls in production server machines, you should run VB's "
      "package wizard to package your generated dll to include all the necessary vb runtime "
      "dlls.<BR>\r\n"
      "</BODY>\r\n"
      "</HTML>\r\n");
  EXPECT_EQ(response.write_count(), 10);
}

TEST(CompletionReportTest, FailuresReplaceTheFirstLineAndAreListedInOrder) {
  host::MemoryResponse response;
  std::vector<Failure> failures = {
      {Access::kWrite, "C:\\out\\Shop.vbp", "injected failure"},
      {Access::kRead, "C:\\src\\a.asp", "No such file or directory"},
  };
  ASSERT_TRUE(WriteCompletionReport(response, "C:\\src", "C:\\out", "Shop", failures).ok());
  EXPECT_EQ(response.body(),
            "Generation finished with errors in C:\\out.<BR><BR>\r\n"
            "Could not write C:\\out\\Shop.vbp: injected failure<BR>\r\n"
            "Could not read C:\\src\\a.asp: No such file or directory<BR>\r\n" +
                std::string(testing::kShopReportNotes));
}

TEST(CompletionReportTest, InsertedValuesAreEscaped) {
  host::MemoryResponse response;
  std::vector<Failure> failures = {{Access::kWrite, "C:\\R&D\\<x>.cls", "bad \"name\""}};
  ASSERT_TRUE(WriteCompletionReport(response, "C:\\a&b", "C:\\R&D", "S<1>", failures).ok());
  EXPECT_EQ(
      response.body(),
      "Generation finished with errors in C:\\R&amp;D.<BR><BR>\r\n"
      "Could not write C:\\R&amp;D\\&lt;x&gt;.cls: bad &quot;name&quot;<BR>\r\n"
      "Important Notes: <BR>\r\n"
      "1. C:\\R&amp;D\\S&lt;1&gt;.bat file was generated in C:\\R&amp;D<BR>\r\n"
      "2. You can now run it from Dos prompt to generate your dll file in C:\\R&amp;D<BR>\r\n"
      "3. Or you can use vb6 to open the generated project file C:\\R&amp;D\\S&lt;1&gt;.vbp to "
      "do editing to your classes.<BR>\r\n"
      "4. Now you should copy your original asp files in C:\\a&amp;b somewhere and then "
      "replace by all the new asp(s) generated in C:\\R&amp;D directory.<BR>\r\n"
      "6. Now you should be able to rerun your asp from IIS using the dll version in a much "
      "faster speed.<BR>\r\n"
      "7. If you need to install your dlls in production server machines, you should run VB's "
      "package wizard to package your generated dll to include all the necessary vb runtime "
      "dlls.<BR>\r\n"
      "</BODY>\r\n"
      "</HTML>\r\n");
}

TEST(CompletionReportTest, AFailingWriteEndsTheReport) {
  host::MemoryResponse response;
  response.FailFromWrite(2);
  Status status = WriteCompletionReport(response, "C:\\src", "C:\\out", "Shop", {});
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(response.body(), "Done generating all the VB files in C:\\out.<BR><BR>\r\n");
  EXPECT_EQ(response.write_count(), 2);
}

TEST(IncludeNotFoundPageTest, FiveWritesTheMessageWithoutLineEnd) {
  host::MemoryResponse response;
  ASSERT_TRUE(WriteIncludeNotFoundPage(response, "C:\\src\\menu.inc").ok());
  EXPECT_EQ(response.body(),
            "<center>\r\n"
            "The include file C:\\src\\menu.inc not found, all include file should be in the "
            "same directory as the asp files."
            "</center>\r\n"
            "</BODY>\r\n"
            "</HTML>\r\n");
  EXPECT_EQ(response.write_count(), 5);
}

TEST(IncludeNotFoundPageTest, TheIncludePathIsEscaped) {
  host::MemoryResponse response;
  ASSERT_TRUE(WriteIncludeNotFoundPage(response, "C:\\src\\<b>&\".inc").ok());
  EXPECT_EQ(response.body(),
            "<center>\r\n"
            "The include file C:\\src\\&lt;b&gt;&amp;&quot;.inc not found, all include file "
            "should be in the same directory as the asp files."
            "</center>\r\n"
            "</BODY>\r\n"
            "</HTML>\r\n");
}

TEST(SameFolderRefusalTest, OneLineThenThePageClose) {
  host::MemoryResponse response;
  ASSERT_TRUE(WriteSameFolderRefusal(response).ok());
  EXPECT_EQ(response.body(),
            "Source and Target Directory cannot be the same, otherwise you overwritten your "
            "original ASP files.<BR>\r\n"
            "</BODY>\r\n"
            "</HTML>\r\n");
  EXPECT_EQ(response.write_count(), 3);
}

}  // namespace
}  // namespace vorlintex::generator
