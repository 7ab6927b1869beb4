// A synthetic site of classic ASP pages for the benchmarks: HTML with expression spans in text
// and attributes, multi-line code blocks, Sub procedures, a server-side script block, include
// directives to a few shared include files, tabs and CR LF line ends. The same seed gives the
// same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorlintex::bench {

struct SiteOptions {
  int pages = 2000;
  size_t min_page_bytes = 2 * 1024;
  size_t max_page_bytes = 40 * 1024;
  uint64_t seed = 1;
  // When not 0, pages are made until together they hold at least this many bytes, and `pages`
  // is ignored.
  size_t total_page_bytes = 0;
};

struct PageInfo {
  std::string name;  // the file name as written, e.g. "orders0007.asp" or "Report0010.asp"
  size_t bytes = 0;
  // The include file names of the page's directives, in the order the page names them; each
  // directive is read twice by a generation run (globals pass and body pass).
  std::vector<std::string> includes;
};

struct SiteManifest {
  std::vector<PageInfo> pages;             // in the order generated
  std::vector<std::string> include_files;  // names as written in the folder
  std::vector<size_t> include_bytes;       // beside include_files
  size_t page_bytes = 0;                   // all pages together
};

// Called once per file with its name (no folder) and its bytes.
using FileSink = std::function<void(const std::string& name, const std::string& bytes)>;

// Makes the include files, then the pages, handing each to `sink`.
SiteManifest GenerateSite(const SiteOptions& options, const FileSink& sink);

// Writes the site into `folder` (created with its parents when missing).
SiteManifest WriteSite(const SiteOptions& options, const std::string& folder);

}  // namespace vorlintex::bench
