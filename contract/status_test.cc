// The texts of a status: ToString names the code, as logs and tests read it; Message leaves it
// out, as the messages to a person quote it.
#include "contract/status.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vorlintex {
namespace {

TEST(StatusTest, ToStringNamesTheCodeAndMessageLeavesItOut) {
  const std::tuple<Status, const char*, const char*> cases[] = {
      {Status::OK(), "OK", "OK"},
      {Status::NotFound("C:\\a", "gone"), "NotFound: C:\\a: gone", "C:\\a: gone"},
      {Status::AlreadyExists("d", "File exists"), "Already exists: d: File exists",
       "d: File exists"},
      {Status::IOError("f", "Permission denied"), "IO error: f: Permission denied",
       "f: Permission denied"},
      {Status::InvalidArgument("Request.Form", "index 0"),
       "Invalid argument: Request.Form: index 0", "Request.Form: index 0"},
      {Status::NotSupported("Render", "no method"), "Not supported: Render: no method",
       "Render: no method"},
      {Status::Busy("morvane", "in use"), "Busy: morvane: in use", "morvane: in use"},
      {Status::IOError("", "no path"), "IO error: no path", "no path"},
  };
  for (const auto& [status, text, message] : cases) {
    EXPECT_EQ(status.ToString(), text);
    EXPECT_EQ(status.Message(), message);
  }
}

}  // namespace
}  // namespace vorlintex
