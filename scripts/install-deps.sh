#!/usr/bin/env bash
# Installs what vorlintex needs from Debian's packages, skipping what is already there.
#   scripts/install-deps.sh          what building and serving needs
#   scripts/install-deps.sh --test   also what the tests need (GoogleTest, Python, clang for the
#                                    fuzzers, Chromium and Node.js for the browser tests, and
#                                    MinGW-w64, its widl, Wine's IDL files, GoogleTest's sources,
#                                    Wine, curl, msitools and wixl for the Windows builds and
#                                    their packages, and ninja for
#                                    scripts/mutate.py)
set -euo pipefail

packages=(cmake make g++ libcli11-dev libboost-dev)
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev libgmock-dev python3 clang-14 libclang-rt-14-dev chromium nodejs npm
             mingw-w64 mingw-w64-tools libwine-dev googletest wine64 curl ninja-build msitools
             wixl)
fi

# Node.js and npm count as there when their commands are, whichever package brought them (some
# Node.js packages carry npm and conflict with Debian's npm package).
present() {
  case $1 in
    nodejs) command -v node >/dev/null && return 0 ;;
    npm) command -v npm >/dev/null && return 0 ;;
  esac
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  present "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  sudo=sudo
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
