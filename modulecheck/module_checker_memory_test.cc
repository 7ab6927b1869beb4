// The checker reads a module as it streams by: after its first lines, 30 MB more take no more
// memory. The test executable's operator new counts the bytes held.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "modulecheck/module_checker.h"

namespace {

std::atomic<size_t> g_live_bytes{0};
constexpr size_t kPrefix = 16;  // keeps the block's size, and malloc's alignment

void* Allocate(size_t size) {
  void* block = std::malloc(size + kPrefix);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  g_live_bytes += size;
  return static_cast<char*>(block) + kPrefix;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  char* block = static_cast<char*>(p) - kPrefix;
  g_live_bytes -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
// The library's temporary buffers (std::stable_sort) come from the nothrow forms and go back
// through the plain delete, so those forms must count too.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace vorlintex::modulecheck {
namespace {

TEST(ModuleCheckerMemory, ThirtyMegabytesTakeNoMoreThanTheFirstLines) {
  const std::vector<std::string> kHeader = {"VERSION 1.0 CLASS",
                                            "BEGIN",
                                            "  MultiUse = -1  'True",
                                            "END",
                                            "Attribute VB_Name = \"big\"",
                                            "Dim Response As Object",
                                            "Public Sub big()"};
  // A page method's usual lines, blocks opened and closed, one continued.
  const std::vector<std::string> kCycle = {
      "Response.Write (\"<tr><td class=\"\"name\"\">\" & rs(\"name\") & \"</td></tr>\" & vbCrlf)",
      "If rs(\"qty\") > 3 Then",
      "  For i = 1 To rs(\"qty\"): total = total + i: Next i",
      "Else",
      "  Response.Write \"none\" ' nothing to add",
      "End If",
      "Do While Not rs.EOF: rs.MoveNext: Loop",
      "x = Mid(s, 1, _",
      "      4)",
      ""};
  ModuleChecker checker(ModuleContext{});
  for (const std::string& line : kHeader) checker.Line(line);
  size_t fed = 0;
  size_t after_first_megabyte = 0;
  for (size_t round = 0; fed < 30u << 20; ++round) {
    for (const std::string& line : kCycle) {
      checker.Line(line);
      fed += line.size() + 2;
    }
    if (after_first_megabyte == 0 && fed >= 1u << 20) after_first_megabyte = g_live_bytes;
  }
  const size_t after_all = g_live_bytes;
  checker.Line("End Sub");
  const ModuleVerdict verdict = checker.Finish();
  EXPECT_EQ(after_all, after_first_megabyte);
  ASSERT_EQ(verdict.reason_count, 1u);
  EXPECT_EQ(verdict.first_reasons[0].cause, Cause::kProcedureTooLarge);
  std::cout << "live heap after 1 MB: " << after_first_megabyte << " bytes, after " << (fed >> 20)
            << " MB: " << after_all << " bytes\n";
}

}  // namespace
}  // namespace vorlintex::modulecheck
