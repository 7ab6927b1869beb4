// The page host's Response for a page the command line prints: each Write goes to a stream.
#pragma once

#include <ostream>
#include <string_view>

#include "contract/host.h"

namespace vorlintex::app {

class StreamResponse : public host::Response {
 public:
  explicit StreamResponse(std::ostream& out) : out_(out) {}

  // IOError once the stream has failed (a closed standard output, a full disk).
  Status Write(std::string_view text) override {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out_) return Status::IOError("standard output", "the page could not be printed");
    return Status::OK();
  }

 private:
  std::ostream& out_;
};

}  // namespace vorlintex::app
