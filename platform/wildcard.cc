#include "platform/wildcard.h"

#include <algorithm>

#include "contract/ascii.h"

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

void SortAsWindowsListing(std::vector<std::string>* names) {
  // Upper-case each name once rather than in every comparison, and sort pointers so that the
  // sort moves no strings.
  struct Keyed {
    std::string upper;
    std::string* name;
  };
  std::vector<Keyed> keyed(names->size());
  std::vector<const Keyed*> order(names->size());
  for (size_t i = 0; i < names->size(); ++i) {
    keyed[i].name = &(*names)[i];
    keyed[i].upper = (*names)[i];
    for (char& c : keyed[i].upper) c = AsciiUpper(c);
    order[i] = &keyed[i];
  }
  // std::string compares through char_traits<char>, which compares bytes as unsigned char.
  std::sort(order.begin(), order.end(), [](const Keyed* a, const Keyed* b) {
    const int folded = a->upper.compare(b->upper);
    if (folded != 0) return folded < 0;
    return *a->name < *b->name;
  });
  std::vector<std::string> sorted;
  sorted.reserve(order.size());
  for (const Keyed* entry : order) sorted.push_back(std::move(*entry->name));
  names->swap(sorted);
}

}  // namespace vorlintex
