// The wildcard rules of the folder listing, shared by the real listing and the in-memory one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlintex {

struct ListingPattern {
  std::string folder;  // everything before the last "\" or "/" (empty when there is none)
  std::string name;    // the file name pattern after it
};

// Splits a listing pattern at its last "\" or "/".
ListingPattern SplitListingPattern(std::string_view pattern);

// True when `name` matches `pattern`: "*" any run of bytes, "?" exactly one byte, ASCII letters
// without regard to case, every other byte itself.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// Orders names as a Windows listing does: by the name with ASCII letters upper-cased, byte by
// byte (unsigned), and names equal that way by their own bytes.
void SortAsWindowsListing(std::vector<std::string>* names);

}  // namespace vorlintex
