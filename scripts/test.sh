#!/usr/bin/env bash
# Sets up a fresh Debian machine, then builds and runs every test: the unit tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the translator's tests with its
# plain byte loops, the load and bad-input tests of the page host, a short run of every fuzz
# target, the Windows builds under Wine, the compilable rules' modules run against their pages
# under Wine, and the browser tests.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Each step prints its time; warnings are errors in every build made here.
step() {
  [ -n "${step_start:-}" ] && echo "   ($(( $(date +%s) - step_start )) s)"
  step_start=$(date +%s)
  echo "== $*"
}

step "installing what is missing from Debian's packages"
scripts/install-deps.sh --test
after_installs=$(date +%s)
werror=-DCMAKE_COMPILE_WARNING_AS_ERROR=ON

step "unit tests, every target built for Release with GCC"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release $werror >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

step "unit tests, every target built for Release with clang"
cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++-14 $werror >/dev/null
cmake --build build-clang -j"$jobs"
ctest --test-dir build-clang --output-on-failure -j"$jobs"

step "unit tests under the sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORLINTEX_SANITIZE=ON -DVORLINTEX_BENCH=OFF $werror >/dev/null
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

step "translator tests with the plain byte loops that machines without SSE2 build"
cmake -S . -B build-plain -DCMAKE_BUILD_TYPE=Debug -DVORLINTEX_NO_SIMD=ON -DVORLINTEX_BENCH=OFF $werror >/dev/null
cmake --build build-plain --target translator_tests -j"$jobs"
build-plain/translator/translator_tests --gtest_brief=1

step "reliability: load and bad input against vorlintex serve"
VORLINTEX=build/app/vorlintex python3 reliability/load_test.py
VORLINTEX=build/app/vorlintex python3 reliability/bad_input_test.py
step "reliability: the same against the sanitizer build"
# AddressSanitizer keeps freed memory aside (256 MiB by default) to catch late uses; a small
# quarantine keeps the memory bounds of these tests meaningful.
export ASAN_OPTIONS=quarantine_size_mb=1:thread_local_quarantine_size_kb=64
# Its allocator also gives freed memory back to the system more slowly: 96 MiB more than at
# the start is allowed 5 s after 300 clients that read nothing leave (16 MiB without it).
VORLINTEX=build-sanitize/app/vorlintex python3 reliability/load_test.py --return-mib 96
VORLINTEX=build-sanitize/app/vorlintex python3 reliability/bad_input_test.py
unset ASAN_OPTIONS

step "fuzzing: 10 s per target (clang-14, sanitizers)"
fuzz/run.sh -t 10

step "Windows builds under Wine (x86_64 run, i686 built and inspected)"
scripts/windows_test.sh build/app/vorlintex

step "compilable rules: pages and their modules send the same bytes under Wine's VBScript"
VORLINTEX=build/app/vorlintex python3 compilable/equivalence/equivalence_test.py

step "browser tests"
(cd e2e && npm ci --no-audit --no-fund --loglevel=error)
VORLINTEX=build/app/vorlintex node --test e2e/wizard.test.mjs
step "done"
echo "   everything after the installs: $(( $(date +%s) - after_installs )) s"
