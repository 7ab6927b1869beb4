#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds vorlintex and starts the wizard on 127.0.0.1:8080;
# open the address it prints (it carries the token that lets the browser in).
# Extra arguments go to `vorlintex serve` (for example --listen 127.0.0.1:9090).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVORLINTEX_TESTS=OFF >/dev/null
cmake --build build-release --target vorlintex -j"$(nproc)"
exec build-release/app/vorlintex serve "$@"
