// Small helpers shared by the benchmark programs: a stopwatch, order statistics, a scratch
// folder that removes itself, and argument parsing of "--name value" pairs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlintex::bench {

// Wall time, and the processor time of the whole process (user and system, as std::clock
// gives it on POSIX): on a shared, busy machine the second is the steadier measure of work done.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()), cpu_start_(std::clock()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  double CpuSeconds() const {
    return static_cast<double>(std::clock() - cpu_start_) / CLOCKS_PER_SEC;
  }

 private:
  std::chrono::steady_clock::time_point start_;
  std::clock_t cpu_start_;
};

struct Timing {
  double wall = 0;
  double cpu = 0;
};

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Minimum(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// The value at fraction `q` (0 to 1) of the sorted values, nearest rank.
inline double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(q * static_cast<double>(values.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, values.size());
  return values[rank - 1];
}

// A fresh folder under `parent` (the system's temporary folder when empty), removed with
// everything in it when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent, const std::string& stem) {
    std::filesystem::path base =
        parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::filesystem::path candidate = base / (stem + "-" + std::to_string(device() % 1000000));
      if (std::filesystem::create_directories(candidate)) {
        path_ = candidate.string();
        return;
      }
    }
    throw std::runtime_error("cannot make a scratch folder in " + base.string());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// "--name value" pairs; a flag without a value is an error.
class Arguments {
 public:
  Arguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
      std::string name = argv[i];
      if (name.rfind("--", 0) != 0 || i + 1 >= argc) {
        throw std::runtime_error("usage: " + std::string(argv[0]) + " [--name value]...");
      }
      values_[name.substr(2)] = argv[++i];
    }
  }
  std::string Text(const std::string& name, const std::string& fallback) const {
    auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
  }
  long Number(const std::string& name, long fallback) const {
    auto it = values_.find(name);
    return it == values_.end() ? fallback : std::stol(it->second);
  }

 private:
  std::map<std::string, std::string> values_;
};

inline double Megabytes(double bytes) { return bytes / 1e6; }

}  // namespace vorlintex::bench
