// The names of one folder in a compact form, to look names up without regard to ASCII letter
// case: a 64-bit hash of each name lower-cased, in an open-addressing table of 8 bytes a slot
// (about 10 to 16 bytes a name), and for names holding capital letters which of their first
// 64 bytes are capitals (16 bytes more). A "no such name" is certain; a spelling it gives is
// wrong only when two names' hashes collide, so a caller that cannot afford that checks it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex {

class FolderNameSet {
 public:
  // Adds the entry `name`.
  void Add(std::string_view name);

  enum class Match {
    kNone,     // no entry equal to the name without regard to ASCII case
    kSpelled,  // the entry's spelling is known: the least in byte order when there are several
    kUnsure,   // there may be one, spelled with capitals beyond the 64th byte: read the folder
  };
  // Looks up `name` without regard to ASCII case; `spelling` is set for kSpelled.
  Match Find(std::string_view name, std::string* spelling) const;

  // How many distinct names are held, and how many of them hold capitals.
  size_t size() const { return names_.size(); }
  size_t capitalised() const { return capitals_.size(); }
  // The bytes the tables take on the heap.
  size_t MemoryBytes() const { return names_.MemoryBytes() + capitals_.MemoryBytes(); }

 private:
  // Open addressing with linear probing over 64-bit keys, 0 marking an empty slot, with an
  // optional 64-bit value beside each key.
  class Table {
   public:
    explicit Table(bool with_values) : with_values_(with_values) {}
    // The value slot of `key`, made (holding 0) when `key` is new; null without values.
    uint64_t* Insert(uint64_t key);
    // Whether `key` is held, and its value when it has one.
    bool Find(uint64_t key, uint64_t* value) const;
    size_t size() const { return size_; }
    size_t MemoryBytes() const {
      return (keys_.capacity() + values_.capacity()) * sizeof(uint64_t);
    }

   private:
    size_t SlotOf(uint64_t key) const;
    void Grow();

    bool with_values_;
    std::vector<uint64_t> keys_;
    std::vector<uint64_t> values_;
    size_t size_ = 0;
  };

  Table names_{false};
  Table capitals_{true};  // key -> bit i set when byte i of the least spelling is a capital
};

// The hash of `name` lower-cased; never 0.
uint64_t FolderNameKey(std::string_view name);

}  // namespace vorlintex
