#!/usr/bin/env bash
# Builds the benchmarks (optimised, no unit tests) in build-bench and runs them:
#
#   bench/run.sh                  # all of them
#   bench/run.sh run translate    # some: run translate memory selection pagehost
#
# run        generation run of a 2,000-page synthetic site against its I/O floor, in process
#            and against the shell's (`cat` of every page three times, then `cp -r` of the
#            outputs)
# translate  translation alone on the in-memory file service, 50 MiB of pages
# memory     peak resident memory of `vorlintex convert --all`, 100 against 10,000 pages
# selection  the selection page for a folder of 10,000 pages, ms per request
# pagehost   `vorlintex serve` against nginx serving the entry page's bytes (bench/page_host.sh)
#
# Scratch files go to BENCH_DIR (default /tmp) and are removed afterwards. The machine is
# shared and noisy: compare the ratios printed within one run, not absolute figures.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${BENCH_BUILD:-$root/build-bench}"
scratch_parent="${BENCH_DIR:-/tmp}"
jobs="${BENCH_JOBS:-2}"

benchmarks=("$@")
((${#benchmarks[@]})) || benchmarks=(run translate memory selection pagehost)
for name in "${benchmarks[@]}"; do
  case "$name" in
    run | translate | memory | selection | pagehost) ;;
    *)
      echo "bench/run.sh: unknown benchmark '$name' (run translate memory selection pagehost)" >&2
      exit 64
      ;;
  esac
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLINTEX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target vorlintex vorlintex_make_site vorlintex_bench_run \
  vorlintex_bench_translate vorlintex_bench_selection >/dev/null
bin="$build/bench"
vorlintex="$build/app/vorlintex"

scratch="$(mktemp -d "$scratch_parent/vorlintex-bench.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT INT TERM

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Seconds since the epoch, to the nanosecond.
now() { date +%s.%N; }

# One `vorlintex convert --all` of a 2,000-page site against the shell's I/O floor: `cat` of
# every page three times, then `cp -r` of what the run wrote. Five rounds, in turn.
shell_floor() {
  local dir="$1" runs=() floors=() round start middle end
  "$bin/vorlintex_make_site" --folder "$dir/site" --pages 2000 >/dev/null
  for round in 1 2 3 4 5; do
    rm -rf "$dir/out" "$dir/copy"
    start="$(now)"
    "$vorlintex" convert --source "$dir/site" --target "$dir/out" --dll Bench --all >/dev/null
    middle="$(now)"
    cat "$dir"/site/*.asp "$dir"/site/*.asp "$dir"/site/*.asp >/dev/null
    cp -r "$dir/out" "$dir/copy"
    end="$(now)"
    runs+=("$(awk -v a="$start" -v b="$middle" 'BEGIN { print b - a }')")
    floors+=("$(awk -v a="$middle" -v b="$end" 'BEGIN { print b - a }')")
    printf 'round %d: vorlintex convert --all %.3f s, shell floor %.3f s\n' "$round" \
      "${runs[-1]}" "${floors[-1]}"
  done
  rm -rf "$dir/site" "$dir/out" "$dir/copy"
  printf '%s\n' "${runs[@]}" | sort -g >"$dir/runs"
  printf '%s\n' "${floors[@]}" | sort -g >"$dir/floors"
  paste "$dir/runs" "$dir/floors" | awk '
    { run[NR] = $1; floor[NR] = $2 }
    END {
      printf "convert / shell floor: %.2f (best), %.2f (median) (goal at most 1.0)\n",
        run[1] / floor[1], run[3] / floor[3]
    }'
  rm -f "$dir/runs" "$dir/floors"
}

# Peak resident set of one `vorlintex convert --all`, in KiB.
convert_peak_kib() {
  local site="$1" target="$2" out
  if [[ -x /usr/bin/time ]]; then
    out="$(/usr/bin/time -f '%M' "$vorlintex" convert --source "$site" --target "$target" \
      --dll Bench --all 2>&1 >/dev/null | tail -1)"
  else
    out="$(python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' \
      "$vorlintex" convert --source "$site" --target "$target" --dll Bench --all)"
  fi
  rm -rf "$target"
  echo "$out"
}

for name in "${benchmarks[@]}"; do
  echo
  case "$name" in
    run)
      echo "== generation run, 2,000 pages, against the I/O floor"
      "$bin/vorlintex_bench_run" --pages 2000 --rounds 5 --dir "$scratch"
      echo "== vorlintex convert --all of the same 2,000 pages against the shell's I/O floor"
      shell_floor "$scratch"
      ;;
    translate)
      echo "== translation alone, in-memory file service, 50 MiB of pages"
      "$bin/vorlintex_bench_translate" --megabytes 50 --rounds 3
      ;;
    memory)
      echo "== peak resident memory of vorlintex convert --all"
      "$bin/vorlintex_make_site" --folder "$scratch/site100" --pages 100
      "$bin/vorlintex_make_site" --folder "$scratch/site10000" --pages 10000
      small="$(convert_peak_kib "$scratch/site100" "$scratch/out100")"
      large="$(convert_peak_kib "$scratch/site10000" "$scratch/out10000")"
      rm -rf "$scratch/site100" "$scratch/site10000"
      awk -v s="$small" -v l="$large" 'BEGIN {
        printf "peak resident memory: 100 pages %.2f MiB, 10,000 pages %.2f MiB, growth %.2f MiB (goal at most 2 MiB)\n",
          s / 1024, l / 1024, (l - s) / 1024
      }'
      ;;
    selection)
      echo "== selection page, folder of 10,000 pages"
      "$bin/vorlintex_bench_selection" --pages 10000 --requests 30 --dir "$scratch"
      ;;
    pagehost)
      echo "== page host against nginx, entry page"
      "$here/page_host.sh" "$vorlintex"
      ;;
  esac
done
