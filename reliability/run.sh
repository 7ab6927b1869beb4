#!/usr/bin/env bash
# Builds vorlintex (optimised, in build-reliability) unless VORLINTEX names an executable, then runs
# the load test and the bad-input test against `vorlintex serve` on a free loopback port.
#
#   reliability/run.sh              both
#   reliability/run.sh load         10,000 requests over 64 connections, memory within 10%
#   reliability/run.sh bad-input    hostile load: session floods, huge fields, slow clients
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-all}
shift || true
if ! command -v python3 >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y --no-install-recommends python3; else
    sudo apt-get install -y --no-install-recommends python3; fi
fi
if [ -z "${VORLINTEX:-}" ]; then
  cmake -S . -B build-reliability -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLINTEX_TESTS=OFF >/dev/null
  cmake --build build-reliability --target vorlintex -j2
  export VORLINTEX=$PWD/build-reliability/app/vorlintex
fi

status=0
case $what in
  load) python3 reliability/load_test.py "$@" || status=$? ;;
  bad-input) python3 reliability/bad_input_test.py "$@" || status=$? ;;
  all)
    echo "== load"
    python3 reliability/load_test.py || status=$?
    echo "== bad input"
    python3 reliability/bad_input_test.py "$@" || status=$?
    ;;
  *) echo "usage: reliability/run.sh [load|bad-input|all] [options]" >&2; exit 64 ;;
esac
exit $status
