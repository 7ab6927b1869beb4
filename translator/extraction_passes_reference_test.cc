// The globals pass and the script block pass against plain reference passes written straight
// from the rules: every line normalised and folded into a test copy before it is tested. The
// passes themselves test the line as read; on many random pages both must copy the same lines.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "translator/globals_pass.h"
#include "translator/script_block_pass.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::PageStore;

constexpr size_t kNone = std::string::npos;
using Lines = std::vector<std::string>;

std::string Normalise(const std::string& line) {
  size_t first = line.find_first_not_of(' ');
  std::string normalised = first == kNone ? std::string() : line.substr(first);
  for (char& c : normalised) {
    if (c == '\t') c = ' ';
  }
  return normalised;
}

std::string TestCopy(std::string line) {
  for (char& c : line) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return line;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != kNone; }

// The lines the globals pass copies, or the include name when a missing include ends it.
struct GlobalsResult {
  Lines copied;
  std::optional<std::string> missing;
};

GlobalsResult ReferenceGlobals(const Lines& page, const std::map<std::string, Lines>& includes) {
  GlobalsResult result;
  int copy = 0;
  auto procedure_rule = [&](const std::string& line) {
    std::string test = TestCopy(line);
    if (copy == 0 && Has(test, "sub ")) copy = 1;
    if (copy == 1) {
      result.copied.push_back(line);
      if (Has(test, "end sub")) copy = 0;
    }
  };
  for (const std::string& raw : page) {
    std::string line = Normalise(raw);
    if (line.empty()) continue;
    if (!(Has(line, "<!") && Has(TestCopy(line), "#include"))) {
      procedure_rule(line);
      continue;
    }
    size_t first = line.find('"');
    size_t second = first == kNone ? kNone : line.find('"', first + 1);
    if (second == kNone) continue;
    std::string name = line.substr(first + 1, second - first - 1);
    auto found = includes.find(TestCopy(name));
    if (found == includes.end()) {
      result.missing = name;
      return result;
    }
    copy = 0;
    for (const std::string& include_raw : found->second) {
      std::string include_line = Normalise(include_raw);
      if (!include_line.empty()) procedure_rule(include_line);
    }
  }
  return result;
}

Lines ReferenceScriptBlocks(const Lines& page) {
  Lines copied;
  int block = 0;
  for (const std::string& raw : page) {
    std::string line = Normalise(raw);
    if (line.empty()) continue;
    std::string test = TestCopy(line);
    bool opening = Has(test, "runat");
    if (opening && block == 0) block = 1;
    if (block == 0 || opening) continue;
    if (Has(test, "</script>")) {
      block = 0;
    } else {
      copied.push_back(line);
    }
  }
  return copied;
}

Lines RandomLines(std::mt19937& random) {
  // clang-format off
  static const Lines kPieces = {
      "Sub ", "sub\t", "SUB", " ", "  ", "\t", "End Sub", "end\tsub", "END  SUB", "Function",
      "runat", "RunAt=\"server\"", "<script ", "</script>", "</SCRIPT>", "</script >", "<!",
      "#include", "#INCLUDE", "\"", "a", "x", "<%", "%>", std::string(1, '\0'), "\xc3\x9c",
      "<!-- #include file=\"i.inc\" -->", "<!--#INCLUDE FILE=\"I.inc\"-->",
      "<!--#include file=\"m\tissing.inc\"-->"};
  // clang-format on
  Lines lines(std::uniform_int_distribution<int>(0, 10)(random));
  for (std::string& line : lines) {
    int pieces = std::uniform_int_distribution<int>(0, 12)(random);
    for (int i = 0; i < pieces; ++i) line += kPieces[random() % kPieces.size()];
  }
  return lines;
}

TEST(ExtractionPassesReference, SameLinesAsPlainReferenceOnRandomPages) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 3000; ++round) {
    Lines page_lines = RandomLines(random);
    Lines include_lines = RandomLines(random);
    GlobalsResult expected = ReferenceGlobals(page_lines, {{"i.inc", include_lines}});

    PageStore store;
    store.AddSourceFile("page.asp", testing::CrLfLines(page_lines));
    store.AddSourceFile("i.inc", testing::CrLfLines(include_lines));
    IncludeResolver includes(testing::kSourceDir, &store.env(), &store.failures());
    std::unique_ptr<fs::TextStream> procedures_stream = store.CreateModule("procedures");
    OutputFile procedures("procedures.cls", std::move(procedures_stream), &store.failures());
    std::unique_ptr<fs::TextStream> page = store.OpenSource("page.asp");
    std::optional<std::string> missing =
        RunGlobalsPass(page.get(), &store.failures(), includes, procedures);
    ASSERT_EQ(missing.has_value(), expected.missing.has_value()) << testing::CrLfLines(page_lines);
    if (missing) {
      ASSERT_EQ(*missing, PageStore::SourcePath(*expected.missing));
    }
    ASSERT_EQ(store.ModuleText("procedures"), testing::CrLfLines(expected.copied))
        << "page:\n"
        << testing::CrLfLines(page_lines) << "include:\n"
        << testing::CrLfLines(include_lines);

    std::unique_ptr<fs::TextStream> blocks_stream = store.CreateModule("blocks");
    OutputFile blocks("blocks.cls", std::move(blocks_stream), &store.failures());
    page = store.OpenSource("page.asp");
    RunScriptBlockPass(page.get(), &store.failures(), blocks);
    ASSERT_EQ(store.ModuleText("blocks"), testing::CrLfLines(ReferenceScriptBlocks(page_lines)))
        << "page:\n"
        << testing::CrLfLines(page_lines);
  }
}

}  // namespace
}  // namespace vorlintex::translator
