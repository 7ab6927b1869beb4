#!/usr/bin/env bash
# The Windows builds under Wine: cross-builds vorlintex.dll and vorlintex.exe for x86_64 and
# i686, checks what every file imports and exports and packages each, and runs the x86_64 files
# under Wine in a fresh prefix: the unit tests (with the file service contract tests),
# registration, the wizard's pages and generation runs driven through COM by a script host,
# bad page hosts, and `convert`; pages and files are compared byte for byte with the Linux
# build's.
#   scripts/windows_test.sh LINUX_VORLINTEX
# Machines whose kernel runs no 32-bit programs build and inspect the i686 files only; the
# step says which it did.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_vorlintex=$(realpath "$1")
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

build() {
  local arch=$1
  cmake --preset "windows-$arch" >/dev/null
  cmake --build "build-windows-$arch" -j"$jobs" --target vorlintex vorlintex_dll "${@:2}"
}

# Only DLLs that every Windows has; the C++ runtime and winpthread are linked in.
check_imports() {
  local file=$1 objdump=$2
  local imports
  imports=$($objdump -p "$file" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
  case $file in
    *.dll) expected="advapi32.dll kernel32.dll msvcrt.dll oleaut32.dll " ;;
    *) expected="advapi32.dll kernel32.dll msvcrt.dll " ;;
  esac
  if [ "$imports" != "$expected" ]; then
    echo "FAIL: $file imports: $imports (expected $expected)" >&2
    exit 1
  fi
}

check_dll() {
  local dll=$1 objdump=$2
  check_imports "$dll" "$objdump"
  local exports
  exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\t\[ *[0-9]*\] //p' | tr '\n' ' ')
  if [ "$exports" != "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ]; then
    echo "FAIL: $dll exports: $exports" >&2
    exit 1
  fi
  # The type library (resource type TYPELIB, id 1) begins with "MSFT"; the version record
  # carries the company and the self-registration mark in UTF-16.
  local prefix=${objdump%objdump}
  "${prefix}objcopy" -O binary --only-section=.rsrc "$dll" "$dll.rsrc"
  python3 - "$dll.rsrc" <<'PY' || { echo "FAIL: $dll lacks its type library or version record" >&2; exit 1; }
import sys
data = open(sys.argv[1], "rb").read()
marks = [b"MSFT", "TYPELIB".encode("utf-16-le"), "kelmaro".encode("utf-16-le"), "OLESelfRegister".encode("utf-16-le"),
         "vorlintex.dll".encode("utf-16-le")]
sys.exit(0 if all(mark in data for mark in marks) else 1)
PY
  rm -f "$dll.rsrc"
}

echo "-- i686: build, then check exports, imports and resources with objdump"
build i686
check_dll build-windows-i686/com/vorlintex.dll i686-w64-mingw32-objdump
check_imports build-windows-i686/app/vorlintex.exe i686-w64-mingw32-objdump
if /usr/lib/wine/wine build-windows-i686/app/vorlintex.exe --version >/dev/null 2>&1; then
  echo "   (this kernel runs 32-bit programs, but the Wine tests below run the x86_64 files only)"
else
  echo "   (not run: this kernel runs no 32-bit programs)"
fi

# One ZIP per architecture, holding exactly the files an install needs.
package() {
  (cd "build-windows-$1" && cpack >/dev/null)
  local listed
  listed=$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
    "build-windows-$1/vorlintex-1.0.0-$2.zip")
  if [ "$listed" != "INSTALL.txt morvane.asp morvanebg.gif vorlintex.dll vorlintex.exe" ]; then
    echo "FAIL: the $2 package holds: $listed" >&2
    exit 1
  fi
  echo "   build-windows-$1/vorlintex-1.0.0-$2.zip"
}
package i686 win32

echo "-- x86_64: build, check, and run under Wine"
unit_tests=(platform_tests html_tests translator_tests generator_tests wizard_tests component_tests)
build x86_64 "${unit_tests[@]}"
check_dll build-windows-x86_64/com/vorlintex.dll x86_64-w64-mingw32-objdump
check_imports build-windows-x86_64/app/vorlintex.exe x86_64-w64-mingw32-objdump
package x86_64 win64

work=$(mktemp -d /tmp/vorlintex-wine-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine=/usr/lib/wine/wine64
$wine wineboot -i >/dev/null 2>&1
for tests in "${unit_tests[@]}"; do
  if ! $wine "build-windows-x86_64/${tests%_tests}/$tests.exe" --gtest_brief=1 >"$work/$tests.log"; then
    tr -d '\r' <"$work/$tests.log" >&2
    exit 1
  fi
  echo "   $tests: $(tr -d '\r' <"$work/$tests.log" | grep -E '^\[  PASSED  \]')"
done

# Registration writes the ProgID, the class with its threading model, and the type library;
# unregistration removes them, and succeeds with nothing to remove (installers unregister
# before they register).
dll_copy=$work/vorlintex.dll
cp build-windows-x86_64/com/vorlintex.dll "$dll_copy"
dll_path=$($wine winepath -w "$dll_copy" | tr -d '\r')
clsid='{1C9BBF69-5C2C-4AA2-AF50-FDB7B94495BD}'
libid='{9AB80818-38F0-4C15-9AD7-41DCA1C1989D}'
# The key's values and subkeys; nothing when the key is missing (reg then prints why, and fails).
registry() {
  local listed
  listed=$($wine reg query "$@" 2>/dev/null) && tr -d '\r' <<<"$listed"
  return 0
}
unregister() {
  local status=0
  $wine regsvr32 /s /u "$dll_path" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 0 ] || { echo "FAIL: regsvr32 /u $1 exits $status" >&2; exit 1; }
}
unregister "before any registration"
$wine regsvr32 /s "$dll_path"
registry 'HKCR\tvorlintex.morvane\CLSID' | grep -q "$clsid" || { echo "FAIL: no ProgID" >&2; exit 1; }
registry "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -qF "$dll_path" ||
  { echo "FAIL: no InprocServer32" >&2; exit 1; }
registry "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -q 'ThreadingModel *REG_SZ *Apartment' ||
  { echo "FAIL: no threading model" >&2; exit 1; }
registry "HKCR\\TypeLib\\$libid\\1.0\\0\\win64" | grep -qF "$dll_path" ||
  { echo "FAIL: no type library" >&2; exit 1; }
unregister "of the registered DLL"
for key in 'HKCR\tvorlintex.morvane' "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid"; do
  if [ -n "$(registry "$key")" ]; then
    echo "FAIL: $key left after unregistering" >&2
    exit 1
  fi
done
unregister "a second time"
$wine regsvr32 /s "$dll_path"
echo "   registration and unregistration: ok"

# One site, converted by the Linux build, by the component through the script host, and by
# vorlintex.exe. Paths are relative, so all three spell them alike.
site=$work/site
mkdir -p "$site/src"
printf '<%%@ Language=VBScript %%>\r\n<html>\r\n<!-- #include file="top.inc" -->\r\n<%% Dim n\r\nn = 1\r\nResponse.Write n %%>\r\n<p>caf\xe9</p>\r\n</html>\r\n' >"$site/src/Default.asp"
printf '<%% Sub Hello()\r\nResponse.Write "hi"\r\nEnd Sub %%>\r\n<b>top</b>\r\n' >"$site/src/top.inc"
printf '<html><%%= Now %%>\r\n<script language="VBScript" runat="server">\r\nDim y\r\n</script>\r\n</html>\r\n' >"$site/src/Other.ASP"
printf '<!-- #include file="gone.inc" -->\r\n' >"$site/src/broken.asp"
cp com/test/script_host.js "$site/"
exe=$PWD/build-windows-x86_64/app/vorlintex.exe
cd "$site"
failed=0
compare() {
  if ! diff -r "$1" "$2" >/dev/null; then
    echo "FAIL: $1 and $2 differ" >&2
    diff -r "$1" "$2" | head -20 >&2
    failed=1
  fi
}
# Each side runs in a folder of its own holding a copy of the site, with the target "out".
run_case() {
  local name=$1
  shift
  local linux_status=0 com_status=0 exe_status=0
  for side in linux com exe; do
    mkdir -p "$side-$name"
    cp -r src "$side-$name/"
  done
  (cd "linux-$name" && WINDIR='C:\windows' "$linux_vorlintex" convert --source src --target out \
    --dll Shop --html "$@" >page.html 2>/dev/null) || linux_status=$?
  (cd "com-$name" && $wine cscript //nologo ../script_host.js page.html session 2 src out Shop \
    "$@" >/dev/null) || com_status=$?
  (cd "exe-$name" && $wine "$exe" convert --source src --target out --dll Shop --html "$@" \
    >page.html 2>/dev/null) || exe_status=$?
  rm -f "com-$name/session"
  compare "linux-$name" "com-$name"
  compare "linux-$name" "exe-$name"
  if [ "$com_status" -ne 0 ] || [ "$exe_status" -ne "$linux_status" ]; then
    echo "FAIL: $name: exit statuses linux $linux_status, component $com_status, exe $exe_status" >&2
    failed=1
  fi
}
run_case pages Default.asp Other.ASP
run_case missing-include Other.ASP broken.asp Default.asp
# A target that is a file: every write of the run fails.
printf 'x' >blocked
linux_status=0 exe_status=0
WINDIR='C:\windows' "$linux_vorlintex" convert --source src --target blocked --dll Shop --html \
  Default.asp >linux-blocked.html 2>/dev/null || linux_status=$?
$wine cscript //nologo script_host.js com-blocked.html session-blocked 2 src blocked Shop \
  Default.asp >/dev/null
$wine "$exe" convert --source src --target blocked --dll Shop --html Default.asp \
  >exe-blocked.html 2>/dev/null || exe_status=$?
compare linux-blocked.html com-blocked.html
compare linux-blocked.html exe-blocked.html
[ "$linux_status" -eq "$exe_status" ] ||
  { echo "FAIL: blocked: exit statuses linux $linux_status, exe $exe_status" >&2; failed=1; }

# The entry page, the selection page of the folder, and the entry page again with the values
# the selection page kept in the session: the Linux page host against the script host.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$linux_vorlintex" serve --listen "127.0.0.1:$port" --quiet --no-token 2>/dev/null &
serve_pid=$!
url="http://127.0.0.1:$port/morvane.asp"
for _ in $(seq 50); do curl -sf -o /dev/null "$url" && break; sleep 0.1; done
curl -sf -c jar -b jar -o linux-entry.html "$url"
curl -sf -c jar -b jar -o linux-selection.html -H "Origin: http://127.0.0.1:$port" \
  --data 'PageNumber=1&sourcedir=src&targetdir=out&dllname=Shop.dll' "$url"
curl -sf -c jar -b jar -o linux-entry-again.html "$url"
curl -sf -o served-background.gif "http://127.0.0.1:$port/morvanebg.gif"
kill "$serve_pid"
wait "$serve_pid" || true
$wine cscript //nologo script_host.js com-entry.html session - - - - >/dev/null
$wine cscript //nologo script_host.js com-selection.html session 1 src out Shop.dll >/dev/null
$wine cscript //nologo script_host.js com-entry-again.html session - - - - >/dev/null
for page in entry selection entry-again; do compare "linux-$page.html" "com-$page.html"; done
compare served-background.gif "$OLDPWD/packaging/morvanebg.gif"

# Bad page hosts: each gives the caller an error, and the process goes on.
cp "$OLDPWD/com/test/bad_input.js" .
$wine cscript //nologo bad_input.js | tr -d '\r' | sed 's/^/   /' || failed=1
cd "$OLDPWD"
[ "$failed" -eq 0 ] || exit 1
echo "   pages and files through COM and through vorlintex.exe equal the Linux build: ok"
