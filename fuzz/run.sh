#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each one for a set time, starting from its kept corpus. Fails when any target finds
# a crash, a hang (10 s on one input), a memory blow-up or a broken rule; the finding is left in
# build-fuzz/fuzz-findings/<target>/ and should become a file under fuzz/regressions/<target>/.
#
#   fuzz/run.sh                     every target, 60 s each, one at a time
#   fuzz/run.sh -t 600 -p 2         600 s each, two targets at a time
#   fuzz/run.sh wildcard form_body  only these targets
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
parallel=1
build=build-fuzz
while getopts "t:p:b:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    p) parallel=$OPTARG ;;
    b) build=$OPTARG ;;
    *) echo "usage: fuzz/run.sh [-t seconds] [-p parallel] [-b build-folder] [target...]" >&2
       exit 64 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(translate_page form_body request_mapping wine_registry wildcard http_request)
fi

if ! command -v clang++-14 >/dev/null || ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "== installing clang-14 and its runtime libraries"
  sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  sudo_if_needed apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
fi

echo "== building the fuzz targets in $build"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLINTEX_FUZZ=ON -DVORLINTEX_SANITIZE=ON -DVORLINTEX_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# One target: its working corpus grows in the build folder, so the kept corpus stays small.
run_target() {
  local target=$1
  local corpus=$build/fuzz-corpus/$target findings=$build/fuzz-findings/$target
  local log=$build/fuzz-logs/$target-$(date +%H%M%S).log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  local status=0
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build"/fuzz/fuzz_"$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 \
    -artifact_prefix="$findings"/ >"$log" 2>&1 || status=$?
  local runs cov
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | awk '{print $2}' || true)
  cov=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$log" | tail -1 |
    grep -o 'cov: [0-9]* ft: [0-9]*' || true)
  if [ "$status" -ne 0 ] || ls "$findings" | grep -q .; then
    echo "FAIL $target: exit $status, findings in $findings, log $log"
    grep -E 'ERROR|broken rule|SUMMARY' "$log" | head -5
    return 1
  fi
  echo "ok   $target: ${runs:-?} runs in ${seconds}s, ${cov:-no coverage line}"
}

failed=0
pids=()
names=()
for target in "${targets[@]}"; do
  run_target "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
