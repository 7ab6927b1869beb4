#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "contract/ascii.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "platform/wildcard.h"

namespace vorlintex::fuzz {
namespace {

// The matcher written the slow, obvious way (a table over every pattern and name prefix), to
// compare the folder listing's matcher with.
bool ReferenceMatch(std::string_view pattern, std::string_view name) {
  // row[n]: the pattern prefix seen so far matches the first n bytes of the name.
  std::vector<char> row(name.size() + 1, 0);
  row[0] = 1;
  for (char p : pattern) {
    std::vector<char> next(name.size() + 1, 0);
    if (p == '*') {
      char reachable = 0;
      for (size_t n = 0; n <= name.size(); ++n) {
        reachable = reachable || row[n];
        next[n] = reachable;
      }
    } else {
      for (size_t n = 1; n <= name.size(); ++n) {
        const char c = name[n - 1];
        next[n] = row[n - 1] && (p == '?' || AsciiLower(p) == AsciiLower(c));
      }
    }
    row.swap(next);
  }
  return row[name.size()] != 0;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

bool ListingOrder(const std::string& a, const std::string& b) {
  const int folded = Upper(a).compare(Upper(b));
  if (folded != 0) return folded < 0;
  return a < b;
}

}  // namespace

int WildcardInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find('\0');
  const std::string_view pattern = input.substr(0, cut);
  std::vector<std::string> names;
  if (cut != std::string_view::npos) {
    std::string_view rest = input.substr(cut + 1);
    while (true) {
      const size_t end = rest.find('\0');
      names.emplace_back(rest.substr(0, end));
      if (end == std::string_view::npos) break;
      rest = rest.substr(end + 1);
    }
  }

  const ListingPattern split = SplitListingPattern(pattern);
  FUZZ_CHECK(split.name.find_first_of("\\/") == std::string::npos);
  if (split.name.size() == pattern.size()) {
    FUZZ_CHECK(split.folder.empty() && split.name == pattern);
  } else {
    FUZZ_CHECK(split.folder.size() + 1 + split.name.size() == pattern.size());
    FUZZ_CHECK(pattern.substr(0, split.folder.size()) == split.folder);
    FUZZ_CHECK(pattern.substr(split.folder.size() + 1) == split.name);
  }

  // The pattern matched against itself read as a name, and against each name given.
  names.emplace_back(pattern);
  for (const std::string& name : names) {
    const bool matches = MatchesWildcard(pattern, name);
    FUZZ_CHECK(matches == ReferenceMatch(pattern, name));
    FUZZ_CHECK(MatchesWildcard(pattern, Upper(name)) == matches);
    if (pattern.find_first_of("*?") == std::string_view::npos) {
      FUZZ_CHECK(matches == (Upper(pattern) == Upper(name)));
    }
    FUZZ_CHECK(MatchesWildcard("*", name));
  }

  std::vector<std::string> sorted = names;
  SortAsWindowsListing(&sorted);
  FUZZ_CHECK(std::is_sorted(sorted.begin(), sorted.end(), ListingOrder));
  FUZZ_CHECK(std::is_permutation(sorted.begin(), sorted.end(), names.begin(), names.end()));
  return 0;
}

}  // namespace vorlintex::fuzz
