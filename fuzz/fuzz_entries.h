// The fuzz entry functions: each takes one input of arbitrary bytes, runs it through one part
// of the program, and checks the rules every input must keep (FUZZ_CHECK). libFuzzer calls
// them through libfuzzer_main.cc; the replay test calls them on the kept corpus and on every
// input that once broke a rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorlintex::fuzz {

// The translation of one page on the in-memory file service. The input up to the first three
// NUL bytes in a row is the page C:\src\page.asp; the bytes after them, when present, are the
// include file C:\src\inc.inc.
int TranslatePageInput(const uint8_t* data, size_t size);

// The whole input as a posted form body (application/x-www-form-urlencoded).
int FormBodyInput(const uint8_t* data, size_t size);

// The input as one request to the page host without HTTP: its LF-separated lines are the
// method, path, query string, Cookie, Content-Type, Host, Origin and Referer headers, and
// everything after the eighth LF the body. Missing lines leave the header out.
int RequestMappingInput(const uint8_t* data, size_t size);

// The input's first line is the registry subkey looked up; the rest is the system.reg text.
int WineRegistryInput(const uint8_t* data, size_t size);

// The input up to its first NUL is a listing pattern; the pieces after it, split at NUL, are
// file names matched against it and sorted as a Windows listing.
int WildcardInput(const uint8_t* data, size_t size);

// The input's first byte is a piece size; the rest, arriving in pieces of that size, is what a
// client sends on one connection of the HTTP server: each request head read by Beast's parser
// and judged by the page host's own rules (limits, statuses, the fields it takes), each body
// skipped.
int HttpRequestInput(const uint8_t* data, size_t size);

struct FuzzTarget {
  std::string_view name;  // the folder name under fuzz/corpus and fuzz/regressions
  int (*entry)(const uint8_t* data, size_t size);
};

inline constexpr FuzzTarget kFuzzTargets[] = {
    {"translate_page", TranslatePageInput},
    {"form_body", FormBodyInput},
    {"request_mapping", RequestMappingInput},
    {"wine_registry", WineRegistryInput},
    {"wildcard", WildcardInput},
    {"http_request", HttpRequestInput},
};

}  // namespace vorlintex::fuzz
