// The seven lines that open every page the component renders after its validation script.
#pragma once

#include "component/host.h"
#include "component/status.h"

namespace vorlintex::generator {

// Writes the page head, each line one Write with CR LF appended; stops at the first failing
// Write and returns its failure.
Status WritePageHead(host::Response& response);

}  // namespace vorlintex::generator
