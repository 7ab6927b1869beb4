// Writes a synthetic site into a folder: vorlintex_make_site --folder DIR [--pages N]
// [--seed S] [--min-bytes B] [--max-bytes B].
#include <cstdio>
#include <exception>

#include "bench/bench_util.h"
#include "bench/synthetic_site.h"

int main(int argc, char** argv) {
  using namespace vorlintex::bench;
  try {
    Arguments args(argc, argv);
    std::string folder = args.Text("folder", "");
    if (folder.empty()) {
      std::fprintf(stderr, "usage: %s --folder DIR [--pages N] [--seed S]\n", argv[0]);
      return 64;
    }
    SiteOptions options;
    options.pages = static_cast<int>(args.Number("pages", options.pages));
    options.seed = static_cast<uint64_t>(args.Number("seed", 1));
    options.min_page_bytes = static_cast<size_t>(args.Number("min-bytes", 2048));
    options.max_page_bytes = static_cast<size_t>(args.Number("max-bytes", 40960));
    SiteManifest site = WriteSite(options, folder);
    std::printf("%zu pages, %.1f MB of pages, %zu include files in %s\n", site.pages.size(),
                Megabytes(static_cast<double>(site.page_bytes)), site.include_files.size(),
                folder.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
