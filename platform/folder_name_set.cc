#include "platform/folder_name_set.h"

#include "contract/ascii.h"

namespace vorlintex {
namespace {

constexpr size_t kFirstCapacity = 16;

// Marks a name with capitals beyond the bits of a mask; its spelling is not kept.
constexpr uint64_t kUnknownCapitals = ~uint64_t{0};

// Filled beyond four fifths, linear probing slows down; growing by half keeps a table between
// about 53% and 80% full.
bool TooFull(size_t size, size_t capacity) { return size * 5 > capacity * 4; }

// A table index from all 64 bits of the key, for a capacity that need not be a power of 2.
size_t Scale(uint64_t key, size_t capacity) {
  return static_cast<size_t>((static_cast<unsigned __int128>(key) * capacity) >> 64);
}

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }

// Bit i set when byte i of `name` is a capital; kUnknownCapitals when one lies beyond bit 63.
uint64_t CapitalsOf(std::string_view name) {
  uint64_t mask = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    if (!IsCapital(name[i])) continue;
    if (i >= 64) return kUnknownCapitals;
    mask |= uint64_t{1} << i;
  }
  return mask;
}

// Of two spellings of one name, the lesser in byte order: where they first differ, the one
// with the capital, since every capital sorts before every small letter.
uint64_t LesserSpelling(uint64_t a, uint64_t b) {
  if (a == kUnknownCapitals || b == kUnknownCapitals) return kUnknownCapitals;
  uint64_t first_difference = (a ^ b) & (~(a ^ b) + 1);
  return (a & first_difference) != 0 ? a : b;
}

}  // namespace

uint64_t FolderNameKey(std::string_view name) {
  // FNV-1a over the lower-cased bytes, then a finaliser that spreads every input bit over the
  // high bits the table index is taken from.
  uint64_t hash = 14695981039346656037ULL;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(AsciiLower(c));
    hash *= 1099511628211ULL;
  }
  hash ^= hash >> 33;
  hash *= 0xff51afd7ed558ccdULL;
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53ULL;
  hash ^= hash >> 33;
  return hash == 0 ? 1 : hash;
}

void FolderNameSet::Add(std::string_view name) {
  uint64_t key = FolderNameKey(name);
  bool known = names_.Find(key, nullptr);
  uint64_t capitals = CapitalsOf(name);
  if (!known) {
    names_.Insert(key);
    if (capitals != 0) *capitals_.Insert(key) = capitals;
    return;
  }
  // Another spelling of a name already held: the lesser one is what a lookup finds.
  uint64_t held = 0;
  capitals_.Find(key, &held);
  uint64_t lesser = LesserSpelling(held, capitals);
  if (lesser != held) *capitals_.Insert(key) = lesser;
}

FolderNameSet::Match FolderNameSet::Find(std::string_view name, std::string* spelling) const {
  uint64_t key = FolderNameKey(name);
  if (!names_.Find(key, nullptr)) return Match::kNone;
  uint64_t capitals = 0;
  capitals_.Find(key, &capitals);
  if (capitals == kUnknownCapitals) return Match::kUnsure;
  spelling->assign(name);
  for (size_t i = 0; i < spelling->size(); ++i) {
    char& c = (*spelling)[i];
    c = (i < 64 && (capitals >> i) & 1) ? AsciiUpper(c) : AsciiLower(c);
  }
  return Match::kSpelled;
}

uint64_t* FolderNameSet::Table::Insert(uint64_t key) {
  if (keys_.empty() || TooFull(size_ + 1, keys_.size())) Grow();
  size_t slot = SlotOf(key);
  if (keys_[slot] != key) {
    keys_[slot] = key;
    ++size_;
  }
  return with_values_ ? &values_[slot] : nullptr;
}

bool FolderNameSet::Table::Find(uint64_t key, uint64_t* value) const {
  if (keys_.empty()) return false;
  size_t slot = SlotOf(key);
  if (keys_[slot] != key) return false;
  if (value != nullptr && with_values_) *value = values_[slot];
  return true;
}

size_t FolderNameSet::Table::SlotOf(uint64_t key) const {
  size_t slot = Scale(key, keys_.size());
  while (keys_[slot] != 0 && keys_[slot] != key) {
    if (++slot == keys_.size()) slot = 0;
  }
  return slot;
}

void FolderNameSet::Table::Grow() {
  size_t capacity = keys_.empty() ? kFirstCapacity : keys_.size() + keys_.size() / 2;
  std::vector<uint64_t> old_keys(capacity, 0);
  std::vector<uint64_t> old_values(with_values_ ? capacity : 0, 0);
  old_keys.swap(keys_);
  old_values.swap(values_);
  for (size_t i = 0; i < old_keys.size(); ++i) {
    if (old_keys[i] == 0) continue;
    size_t slot = SlotOf(old_keys[i]);
    keys_[slot] = old_keys[i];
    if (with_values_) values_[slot] = old_values[i];
  }
}

}  // namespace vorlintex
