// Generation run throughput on the real file system, against the I/O the run cannot avoid.
//
// vorlintex_bench_run [--pages 2000] [--rounds 5] [--dir /tmp] [--seed 1]
//
// Writes a synthetic site, then in each round times one generation run of every page (with
// the POSIX platform) and the I/O floor: plain buffered reads of every source page three
// times and of every include file twice a page (as a run that kept nothing would read them),
// and writes of files of the same names and sizes as the run wrote. The order of the two alternates
// between rounds. A third timing reads and writes the same lines through the run's own file service
// without translating them, to tell the file service's share from the translator's.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "bench/synthetic_site.h"
#include "contract/ascii.h"
#include "contract/env.h"
#include "generator/generation_run.h"
#include "generator/run_summary.h"
#include "generator/services.h"
#include "generator/target_turns.h"
#include "platform/posix_env.h"

namespace vorlintex::bench {
namespace {

namespace stdfs = std::filesystem;

// One generation run of every page of the site into `target`.
Timing TimeRun(Env& env, const SiteManifest& site, const std::string& source,
               const std::string& target) {
  generator::RunInput input;
  input.source_dir = source;
  input.target_dir = target;
  input.dll_name = "Bench.dll";
  for (const PageInfo& page : site.pages) input.pages.push_back(page.name);
  // With the target folder's turn, as `vorlintex convert` and the wizard take it.
  generator::TargetTurns turns;
  Services services;
  services.env = &env;
  services.turns = &turns;

  Stopwatch watch;
  const generator::RunSummary summary = generator::RunGeneration(input, services);
  Timing timing{watch.Seconds(), watch.CpuSeconds()};

  if (summary.end != generator::RunEnd::kDone || summary.pages_converted != site.pages.size() ||
      !summary.failures.empty()) {
    std::fprintf(stderr, "the run did not convert every page: %zu of %zu, %zu failures%s%s\n",
                 summary.pages_converted, site.pages.size(), summary.failures.size(),
                 summary.failures.empty() ? "" : ", first: ",
                 summary.failures.empty() ? "" : summary.failures[0].reason.c_str());
    std::exit(1);
  }
  return timing;
}

// Reads the whole file with a plain buffered read; the number of bytes read.
size_t ReadFile(const std::string& path, std::vector<char>& buffer) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  size_t total = 0;
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) total += n;
  std::fclose(file);
  return total;
}

void WriteFile(const std::string& path, size_t bytes, const std::vector<char>& filler) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "cannot create %s\n", path.c_str());
    std::exit(1);
  }
  while (bytes > 0) {
    size_t n = std::min(bytes, filler.size());
    std::fwrite(filler.data(), 1, n, file);
    bytes -= n;
  }
  std::fclose(file);
}

struct OutputSizes {
  std::map<std::string, size_t> by_name;  // every file the run wrote
  size_t total = 0;
};

OutputSizes MeasureOutputs(const std::string& target) {
  OutputSizes sizes;
  for (const stdfs::directory_entry& entry : stdfs::directory_iterator(target)) {
    size_t size = entry.file_size();
    sizes.by_name[entry.path().filename().string()] = size;
    sizes.total += size;
  }
  return sizes;
}

std::string BaseName(const std::string& name) {
  std::string base = AsciiLower(name);
  return base.substr(0, base.find(".asp"));
}

// The I/O of a run without the run: the same reads and writes, in the same order, as plain
// buffered file calls.
Timing TimeFloor(const SiteManifest& site, const std::string& source, const OutputSizes& outputs,
                 const std::string& target) {
  std::vector<char> buffer(64 * 1024);
  std::vector<char> filler(64 * 1024, 'x');
  size_t read = 0;
  Stopwatch watch;
  stdfs::create_directory(target);
  auto write_output = [&](const std::string& name) {
    auto it = outputs.by_name.find(name);
    if (it != outputs.by_name.end()) WriteFile(target + "/" + name, it->second, filler);
  };
  for (const PageInfo& page : site.pages) {
    std::string path = source + "/" + page.name;
    for (int pass = 0; pass < 3; ++pass) read += ReadFile(path, buffer);
    // The globals pass and the body pass each read every include file the page names.
    for (int pass = 0; pass < 2; ++pass) {
      for (const std::string& include : page.includes)
        read += ReadFile(source + "/" + include, buffer);
    }
    std::string base = BaseName(page.name);
    for (const char* extension : {".cls", ".asp", ".vbw"}) write_output(base + extension);
  }
  write_output("Bench.vbp");
  write_output("Bench.bat");
  Timing timing{watch.Seconds(), watch.CpuSeconds()};
  if (read == 0) std::exit(1);
  return timing;
}

// The same reads and writes through the run's own file service, line by line, with nothing
// done to the lines: what the streaming shape of the run costs before any translation. Pages
// are opened by their lower-cased names, as the run opens them, and each include file read
// gets a file service object of its own.
Timing TimeStreams(Env& env, const SiteManifest& site, const std::string& source,
                   const OutputSizes& outputs, const std::string& target) {
  const std::string filler_line(62, 'x');  // with CR LF, 64 bytes a line
  std::string line;
  size_t lines = 0;
  auto fail = [](const std::string& what) {
    std::fprintf(stderr, "streams: cannot %s\n", what.c_str());
    std::exit(1);
  };
  auto read_all = [&](fs::TextFileService& files, const std::string& path) {
    std::unique_ptr<fs::TextStream> stream;
    if (!files.OpenTextFile(path, &stream).ok()) fail("open " + path);
    while (!stream->AtEndOfStream() && stream->ReadLine(&line).ok()) ++lines;
    stream->Close().IgnoreError();
  };
  Stopwatch watch;
  std::unique_ptr<fs::TextFileService> files;
  if (!env.NewFileService(&files).ok()) fail("make a file service");
  files->CreateFolder(target).IgnoreError();
  auto write_output = [&](const std::string& name) {
    auto it = outputs.by_name.find(name);
    if (it == outputs.by_name.end()) return;
    std::unique_ptr<fs::TextStream> stream;
    if (!files->CreateTextFile(target + "\\" + name, &stream).ok()) fail("create " + name);
    size_t bytes = it->second;
    for (; bytes >= 64; bytes -= 64) stream->WriteLine(filler_line).IgnoreError();
    if (bytes >= 2) stream->WriteLine(std::string(bytes - 2, 'x')).IgnoreError();
    stream->Close().IgnoreError();
  };
  for (const PageInfo& page : site.pages) {
    std::string base = BaseName(page.name);
    for (int pass = 0; pass < 3; ++pass) read_all(*files, source + "\\" + base + ".asp");
    for (int pass = 0; pass < 2; ++pass) {
      for (const std::string& include : page.includes) {
        std::unique_ptr<fs::TextFileService> include_files;
        if (!env.NewFileService(&include_files).ok()) fail("make a file service");
        std::string path = source + "\\" + include;
        if (!include_files->FileExists(path)) fail("find " + path);
        read_all(*include_files, path);
      }
    }
    for (const char* extension : {".cls", ".asp", ".vbw"}) write_output(base + extension);
  }
  write_output("Bench.vbp");
  write_output("Bench.bat");
  Timing timing{watch.Seconds(), watch.CpuSeconds()};
  if (lines == 0) std::exit(1);
  return timing;
}

int Main(const Arguments& args) {
  SiteOptions options;
  options.pages = static_cast<int>(args.Number("pages", 2000));
  options.seed = static_cast<uint64_t>(args.Number("seed", 1));
  int rounds = static_cast<int>(args.Number("rounds", 5));
  ScratchFolder work(args.Text("dir", ""), "vorlintex-bench-run");
  std::string source = work.path() + "/site";
  SiteManifest site = WriteSite(options, source);
  double source_bytes = static_cast<double>(site.page_bytes);
  std::printf("site: %zu pages, %.1f MB, pages of %zu to %zu bytes, in %s\n", site.pages.size(),
              Megabytes(source_bytes), options.min_page_bytes, options.max_page_bytes,
              work.path().c_str());

  std::unique_ptr<Env> env = NewPosixEnv();
  OutputSizes outputs;
  std::vector<double> run_wall, run_cpu, floor_wall, floor_cpu, streams_cpu;
  for (int round = 0; round < rounds; ++round) {
    std::string run_target = work.path() + "/run" + std::to_string(round);
    std::string floor_target = work.path() + "/floor" + std::to_string(round);
    std::string streams_target = work.path() + "/streams" + std::to_string(round);
    auto run = [&] {
      Timing t = TimeRun(*env, site, source, run_target);
      run_wall.push_back(t.wall);
      run_cpu.push_back(t.cpu);
      if (outputs.by_name.empty()) outputs = MeasureOutputs(run_target);
    };
    auto floor = [&] {
      Timing t = TimeFloor(site, source, outputs, floor_target);
      floor_wall.push_back(t.wall);
      floor_cpu.push_back(t.cpu);
    };
    auto streams = [&] {
      streams_cpu.push_back(TimeStreams(*env, site, source, outputs, streams_target).cpu);
    };
    // The first run learns the sizes of the files the floor writes. Outputs stay until the
    // end: deleting thousands of files sets the file system busy for the next timing.
    if (round % 2 == 0) {
      run();
      floor();
      streams();
    } else {
      streams();
      floor();
      run();
    }
    std::printf(
        "round %d: run %.3f s (processor %.3f s), I/O floor %.3f s (processor %.3f s), "
        "streams alone processor %.3f s\n",
        round + 1, run_wall.back(), run_cpu.back(), floor_wall.back(), floor_cpu.back(),
        streams_cpu.back());
  }

  double pages = static_cast<double>(site.pages.size());
  std::printf("written by the run: %zu files, %.1f MB\n", outputs.by_name.size(),
              Megabytes(static_cast<double>(outputs.total)));
  std::printf("run:       wall best %.3f s, median %.3f s: %.0f pages/s, %.1f MB/s of source\n",
              Minimum(run_wall), Median(run_wall), pages / Minimum(run_wall),
              Megabytes(source_bytes) / Minimum(run_wall));
  std::printf("I/O floor: wall best %.3f s, median %.3f s\n", Minimum(floor_wall),
              Median(floor_wall));
  std::printf("run / I/O floor, wall time:      %.2f (best), %.2f (median)\n",
              Minimum(run_wall) / Minimum(floor_wall), Median(run_wall) / Median(floor_wall));
  std::printf("run / I/O floor, processor time: %.2f (best), %.2f (median)\n",
              Minimum(run_cpu) / Minimum(floor_cpu), Median(run_cpu) / Median(floor_cpu));
  // On a disk the cost of creating files swings by ten times between rounds (write-back of
  // what earlier rounds wrote), so the ratio is taken within each round, where the run and its
  // floor meet the same conditions.
  std::vector<double> round_ratios;
  std::printf("run / I/O floor within each round, processor time:");
  for (size_t i = 0; i < run_cpu.size(); ++i) {
    round_ratios.push_back(run_cpu[i] / floor_cpu[i]);
    std::printf(" %.2f", round_ratios.back());
  }
  std::printf("; median %.2f (goal at most 1.5)\n", Median(round_ratios));
  std::printf(
      "the same lines through the file service's streams, nothing translated: "
      "%.2f of the I/O floor (processor time, best)\n",
      Minimum(streams_cpu) / Minimum(floor_cpu));
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
