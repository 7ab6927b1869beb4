#include "platform/wildcard.h"

#include <algorithm>

#include "component/ascii.h"

namespace vorlintex {

ListingPattern SplitListingPattern(std::string_view pattern) {
  const size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string_view::npos) return {std::string(), std::string(pattern)};
  return {std::string(pattern.substr(0, cut)), std::string(pattern.substr(cut + 1))};
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  // Greedy scan that remembers only the last "*": on a mismatch the star takes one more byte.
  // Each star restart moves the name forward, so the work stays O(pattern * name) at worst.
  size_t p = 0;
  size_t n = 0;
  size_t star = std::string_view::npos;
  size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

namespace {

int CompareUpperCased(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto ua = static_cast<unsigned char>(AsciiUpper(a[i]));
    const auto ub = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool ListedBefore(const std::string& a, const std::string& b) {
  const int folded = CompareUpperCased(a, b);
  if (folded != 0) return folded < 0;
  // std::string compares through char_traits<char>, which compares as unsigned char.
  return a < b;
}

}  // namespace

void SortAsWindowsListing(std::vector<std::string>* names) {
  std::sort(names->begin(), names->end(), ListedBefore);
}

}  // namespace vorlintex
