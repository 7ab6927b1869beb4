// The selection page for a large folder: milliseconds per request.
//
// vorlintex_bench_selection [--pages 10000] [--requests 30] [--dir /tmp] [--site FOLDER]
//
// Each request is what the page host does for one post of the entry page: a new component
// instance, OnStartPage with the request's context, the page method, OnEndPage. The folder
// listing runs on the real file system (POSIX platform).
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/synthetic_site.h"
#include "component/morvane.h"
#include "contract/env.h"
#include "contract/test_host.h"
#include "generator/services.h"
#include "platform/posix_env.h"

namespace vorlintex::bench {
namespace {

size_t CountOptions(const std::string& body) {
  size_t count = 0;
  for (size_t at = body.find("<option"); at != std::string::npos;
       at = body.find("<option", at + 1)) {
    ++count;
  }
  return count;
}

// One selection page request; seconds taken, and the options it listed.
double TimeRequest(const Services& services, const std::string& source, size_t* options) {
  auto context = std::make_shared<host::MemoryContext>();
  context->request().AddFormField("PageNumber", "1");
  context->request().AddFormField("sourcedir", source);
  context->request().AddFormField("targetdir", source + "-dll");
  context->request().AddFormField("dllname", "Bench");
  Stopwatch watch;
  Morvane component(services);
  Status status = component.OnStartPage(context);
  if (status.ok()) status = component.morvane();
  if (status.ok()) status = component.OnEndPage();
  double seconds = watch.Seconds();
  if (!status.ok()) {
    std::fprintf(stderr, "the selection page failed\n");
    std::exit(1);
  }
  *options = CountOptions(context->response().body());
  return seconds;
}

int Main(const Arguments& args) {
  int pages = static_cast<int>(args.Number("pages", 10000));
  int requests = static_cast<int>(args.Number("requests", 30));
  std::string source = args.Text("site", "");
  std::optional<ScratchFolder> work;
  if (source.empty()) {
    work.emplace(args.Text("dir", ""), "vorlintex-bench-selection");
    source = work->path() + "/site";
    SiteOptions options;
    options.pages = pages;
    // The listing reads names only; small pages keep the folder quick to make.
    options.min_page_bytes = options.max_page_bytes = 2048;
    WriteSite(options, source);
  }

  std::unique_ptr<Env> env = NewPosixEnv();
  Services services;
  services.env = env.get();
  size_t listed = 0;
  TimeRequest(services, source, &listed);  // warms the directory cache
  std::vector<double> times;
  for (int i = 0; i < requests; ++i) times.push_back(TimeRequest(services, source, &listed) * 1e3);
  std::printf(
      "selection page: %zu pages listed, %d requests: median %.2f ms, p90 %.2f ms, "
      "best %.2f ms per request; goal under 50 ms\n",
      listed, requests, Median(times), Quantile(times, 0.9), Minimum(times));
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
