// Turns on a target folder that hold between processes: a web server may run the wizard in
// several worker processes at once.
#pragma once

#include <memory>
#include <string>

namespace vorlintex {

// Waits until no other thread of any process of this session holds the turn of `key`, then
// holds it until the result is released, on the same thread. Null when no turn can be had.
std::shared_ptr<void> TakeNamedTurn(const std::string& key);

}  // namespace vorlintex
