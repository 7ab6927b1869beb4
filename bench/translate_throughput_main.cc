// Page translation alone, on the in-memory file service: no disk, so the translator's own cost
// shows.
//
// vorlintex_bench_translate [--megabytes 50] [--rounds 3] [--seed 1]
//
// Makes a synthetic page set of the given size in a MemoryFileSystem and translates every page
// into a class module (each one replacing the last, so memory stays flat), as the generation
// run hands pages to the translator.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/synthetic_site.h"
#include "contract/failure_log.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "translator/translate_page.h"

namespace vorlintex::bench {
namespace {

const char kSourceDir[] = "C:\\site";
const char kModulePath[] = "C:\\out\\module.cls";

// Translates every page once; seconds taken.
double TranslateAll(MemoryEnv& env, const SiteManifest& site) {
  std::unique_ptr<fs::TextFileService> files;
  if (!env.NewFileService(&files).ok()) std::exit(1);
  FailureLog failures;
  Stopwatch watch;
  for (const PageInfo& page : site.pages) {
    translator::PageTranslation translation;
    translation.source_dir = kSourceDir;
    translation.source_path = std::string(kSourceDir) + "\\" + page.name;
    translation.base_name = page.name.substr(0, page.name.size() - 4);
    translation.files = files.get();
    translation.env = &env;
    translation.failures = &failures;
    std::unique_ptr<fs::TextStream> module;
    if (!files->OpenTextFile(translation.source_path, &translation.page).ok() ||
        !files->CreateTextFile(kModulePath, &module).ok()) {
      std::fprintf(stderr, "cannot open %s\n", translation.source_path.c_str());
      std::exit(1);
    }
    OutputFile class_module(kModulePath, std::move(module), &failures);
    translation.class_module = &class_module;
    translator::TranslationResult result = translator::TranslatePage(translation);
    if (result.missing_include) {
      std::fprintf(stderr, "missing include %s\n", result.missing_include->c_str());
      std::exit(1);
    }
  }
  double seconds = watch.Seconds();
  if (!failures.empty()) {
    std::fprintf(stderr, "%zu file operations failed\n", failures.failures().size());
    std::exit(1);
  }
  return seconds;
}

int Main(const Arguments& args) {
  SiteOptions options;
  options.total_page_bytes = static_cast<size_t>(args.Number("megabytes", 50)) * 1024 * 1024;
  options.seed = static_cast<uint64_t>(args.Number("seed", 1));
  int rounds = static_cast<int>(args.Number("rounds", 3));

  std::shared_ptr<fs::MemoryFileSystem> store = fs::MemoryFileSystem::Create();
  store->AddFolder("C:\\out");
  SiteManifest site = GenerateSite(options, [&](const std::string& name, const std::string& bytes) {
    store->AddFile(std::string(kSourceDir) + "\\" + name, bytes);
  });
  MemoryEnv env(store);
  double source_bytes = static_cast<double>(site.page_bytes);
  std::printf("page set: %zu pages, %.1f MiB in memory\n", site.pages.size(),
              source_bytes / (1024 * 1024));

  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    times.push_back(TranslateAll(env, site));
    std::printf("round %d: %.3f s\n", round + 1, times.back());
  }
  double best = Minimum(times);
  std::printf("translation: best %.3f s, median %.3f s: %.1f MB/s of source, %.0f pages/s\n", best,
              Median(times), Megabytes(source_bytes) / best,
              static_cast<double>(site.pages.size()) / best);
  return 0;
}

}  // namespace
}  // namespace vorlintex::bench

int main(int argc, char** argv) {
  try {
    return vorlintex::bench::Main(vorlintex::bench::Arguments(argc, argv));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
