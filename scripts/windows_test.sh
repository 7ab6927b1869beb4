#!/usr/bin/env bash
# The Windows builds under Wine: cross-builds vorlintex.dll and vorlintex.exe for x86_64 and
# i686, checks what every file imports and exports, strips them and packages each (an MSI and a
# ZIP), and runs the x86_64 files under Wine in a fresh prefix: the unit tests (with the file
# service contract tests), registration by regsvr32, the MSI's install (its registry against
# regsvr32's), the wizard's pages and generation runs driven through COM by a script host, bad
# page hosts, `convert`, and the MSI's removal, which must leave nothing behind; pages and files
# are compared byte for byte with the Linux build's.
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
  cmake --build "build-windows-$arch" -j"$jobs" --target vorlintex vorlintex_dll vorlintex_msi "${@:2}"
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

# The packaged files: stripped of symbols and debug sections, which their debug files keep,
# named in .gnu_debuglink; imports, exports and resources as before stripping.
check_stripped() {
  local dir=$1 objdump=$2
  check_dll "$dir/vorlintex.dll" "$objdump"
  check_imports "$dir/vorlintex.exe" "$objdump"
  for file in vorlintex.dll vorlintex.exe; do
    local sections
    sections=$($objdump -h "$dir/$file" | awk '$2 ~ /^\./ {print $2}' | tr '\n' ' ')
    case $sections in
      *.debug_*|*" .gnu_debuglink "*.gnu_debuglink*) echo "FAIL: $file keeps: $sections" >&2; exit 1 ;;
      *" .gnu_debuglink "*) ;;
      *) echo "FAIL: $file names no debug file: $sections" >&2; exit 1 ;;
    esac
    $objdump -h "$dir/$file.debug" | grep -q ' \.debug_info ' ||
      { echo "FAIL: $file.debug holds no debug information" >&2; exit 1; }
    if $objdump -t "$dir/$file" | grep -q '^\['; then
      echo "FAIL: $file keeps its symbol table" >&2
      exit 1
    fi
  done
}

# One ZIP and one MSI per architecture, each holding exactly the files an install needs.
# The project's version, as CMake reads it (the builds below are not configured yet).
version=$(sed -n 's/^project(vorlintex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "FAIL: no project version in CMakeLists.txt" >&2; exit 1; }
msi_tables() {
  local msi=$1
  for table in File Component Directory Registry RegLocator Property; do
    echo "== $table"
    msiinfo export "$msi" "$table" | tail -n +4 | tr -d '\r' | sort
  done
}
package() {
  local arch=$1 name=vorlintex-$version-$2
  (cd "build-windows-$arch" && cpack >/dev/null)
  local listed
  listed=$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' \
    "build-windows-$arch/$name.zip")
  local files="INSTALL.txt LICENSE.txt morvane.asp morvanebg.gif vorlintex.dll vorlintex.exe"
  if [ "$listed" != "$(for f in $files; do printf '%s ' "$name/$f"; done | sed 's/ $//')" ]; then
    echo "FAIL: the $2 ZIP holds: $listed" >&2
    exit 1
  fi
  local msi=build-windows-$arch/$name.msi
  listed=$(msiinfo export "$msi" File | tail -n +4 | cut -f3 | sort | tr '\n' ' ')
  if [ "$listed" != "$files " ]; then
    echo "FAIL: the $2 MSI holds: $listed" >&2
    exit 1
  fi
  if msiinfo export "$msi" CustomAction | tail -n +4 | grep -q . ||
     msiinfo export "$msi" InstallExecuteSequence | grep -qi selfreg; then
    echo "FAIL: the $2 MSI runs custom actions or self-registration" >&2
    exit 1
  fi
  grep -q "$name" "build-windows-$arch/package/INSTALL.txt" ||
    { echo "FAIL: the $2 guide does not name its package" >&2; exit 1; }
  msi_tables "$msi" >"build-windows-$arch/$name.msi.tables"
  echo "   $(ls -l "$msi" | awk '{print $5}') bytes $msi, $(ls -l "build-windows-$arch/$name.zip" | awk '{print $5}') bytes $name.zip"
}

echo "-- i686: build, then check exports, imports and resources with objdump"
build i686
check_dll build-windows-i686/com/vorlintex.dll i686-w64-mingw32-objdump
check_imports build-windows-i686/app/vorlintex.exe i686-w64-mingw32-objdump
check_stripped build-windows-i686/package i686-w64-mingw32-objdump
if /usr/lib/wine/wine build-windows-i686/app/vorlintex.exe --version >/dev/null 2>&1; then
  echo "   (this kernel runs 32-bit programs, but the Wine tests below run the x86_64 files only)"
else
  echo "   (not run: this kernel runs no 32-bit programs)"
fi
package i686 win32

echo "-- x86_64: build, check, and run under Wine"
unit_tests=(platform_tests html_tests translator_tests generator_tests wizard_tests component_tests)
build x86_64 "${unit_tests[@]}"
check_dll build-windows-x86_64/com/vorlintex.dll x86_64-w64-mingw32-objdump
check_imports build-windows-x86_64/app/vorlintex.exe x86_64-w64-mingw32-objdump
check_stripped build-windows-x86_64/package x86_64-w64-mingw32-objdump
package x86_64 win64
# The two MSIs differ only in their architecture: the x86 one's registry entries are the
# x64 one's (which the Wine run below holds against regsvr32's) for win32, without the copy of
# the interface in the 32-bit view; its files go to the 32-bit Program Files, its components
# are 32-bit ones.
python3 - "build-windows-i686/vorlintex-$version-win32.msi.tables" \
  "build-windows-x86_64/vorlintex-$version-win64.msi.tables" <<'PY' || exit 1
import sys
def tables(path):
    result, name = {}, None
    for line in open(path).read().splitlines():
        if line.startswith("== "):
            name = line[3:]
            result[name] = []
        else:
            result[name].append(line.split("\t"))
    return result
x86, x64 = tables(sys.argv[1]), tables(sys.argv[2])
def registry(rows, component_filter):
    return sorted((r[1], r[2], r[3], r[4], r[5]) for r in rows if component_filter(r[5]))
faults = []
wanted = [(root, key.replace("\\win32", "\\win64"), name, value, comp)
          for root, key, name, value, comp in registry(x86["Registry"], lambda c: True)]
if wanted != registry(x64["Registry"], lambda c: c != "Interface32"):
    faults.append("the registry entries differ beyond win32 and win64")
interface = sorted((r[1], r[2], r[3], r[4]) for r in x64["Registry"] if r[5] == "Interface32")
if interface != [(root, key, name, value) for root, key, name, value, _ in wanted if key.startswith("Interface\\")] or not interface:
    faults.append("the 32-bit view's interface differs from the 64-bit view's")
if [r[0] for r in x86["Directory"] if r[1] == "TARGETDIR"] != ["ProgramFilesFolder"]:
    faults.append("x86 installs elsewhere than ProgramFilesFolder")
if [r[0] for r in x64["Directory"] if r[1] == "TARGETDIR"] != ["ProgramFiles64Folder"]:
    faults.append("x64 installs elsewhere than ProgramFiles64Folder")
# Attribute 256: a 64-bit component.
if any(int(r[3]) & 256 for r in x86["Component"]):
    faults.append("x86 has 64-bit components")
if sorted(r[0] for r in x64["Component"] if int(r[3]) & 256) != ["Component", "Pages", "Program", "Texts"]:
    faults.append("x64's components are not 64-bit ones")
for fault in faults:
    print("FAIL: MSIs:", fault, file=sys.stderr)
sys.exit(1 if faults else 0)
PY
echo "   the x86 MSI's tables match the x64 one's: ok"

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
# before they register). The DLL is the packaged one, where the MSI puts it, so that the
# registry regsvr32 leaves can be held against the MSI's.
install_dir="$WINEPREFIX/drive_c/Program Files/vorlintex"
mkdir -p "$install_dir"
cp build-windows-x86_64/package/vorlintex.dll "$install_dir/"
dll_path='C:\Program Files\vorlintex\vorlintex.dll'
clsid='{1C9BBF69-5C2C-4AA2-AF50-FDB7B94495BD}'
libid='{9AB80818-38F0-4C15-9AD7-41DCA1C1989D}'
# The key's values and subkeys; nothing when the key is missing (reg then prints why, and fails).
registry() {
  local listed
  listed=$($wine reg query "$@" 2>/dev/null) && tr -d '\r' <<<"$listed"
  return 0
}
# The whole registry, and every file of the prefix's drive C: but the temporary ones.
snapshot() {
  $wine regedit /E "$($wine winepath -w "$work/$1.reg" | tr -d '\r')" >/dev/null 2>&1
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune \
    -o -print | LC_ALL=C sort) >"$work/$1.files"
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
snapshot regsvr32
unregister "of the registered DLL"
for key in 'HKCR\tvorlintex.morvane' "HKCR\\CLSID\\$clsid" "HKCR\\TypeLib\\$libid"; do
  if [ -n "$(registry "$key")" ]; then
    echo "FAIL: $key left after unregistering" >&2
    exit 1
  fi
done
unregister "a second time"
rm -r "$install_dir"
echo "   registration and unregistration: ok"

# The MSI: installed, it registers what regsvr32 registers, and leaves the six files and an
# entry in "Apps and Features"; removed, it leaves nothing of either. The chosen folder of a
# second install is where the class is found, and goes with the removal too.
msi=$($wine winepath -w "build-windows-x86_64/vorlintex-$version-win64.msi" | tr -d '\r')
msiexec() {
  local status=0
  $wine msiexec "$@" /qn >/dev/null 2>&1 || status=$?
  [ "$status" -eq 0 ] || { echo "FAIL: msiexec $* exits $status" >&2; exit 1; }
}
snapshot before
msiexec /i "$msi"
snapshot installed
if ! python3 scripts/wine_registry.py same "$work/regsvr32.reg" "$work/installed.reg"; then
  echo "FAIL: the MSI's registry entries differ from regsvr32's" >&2
  exit 1
fi
added=$(LC_ALL=C comm -13 "$work/before.files" "$work/installed.files" | grep -v '^./windows/Installer' | tr '\n' ' ')
expected="./Program Files/vorlintex "
for file in INSTALL.txt LICENSE.txt morvane.asp morvanebg.gif vorlintex.dll vorlintex.exe; do
  expected+="./Program Files/vorlintex/$file "
done
[ "$added" = "$expected" ] || { echo "FAIL: the MSI installed: $added" >&2; exit 1; }
for file in vorlintex.dll vorlintex.exe INSTALL.txt; do
  cmp -s "$install_dir/$file" "build-windows-x86_64/package/$file" ||
    { echo "FAIL: the installed $file differs from the packaged one" >&2; exit 1; }
done
listed=$(registry 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s)
grep -q 'DisplayName *REG_SZ *vorlintex (64-bit)$' <<<"$listed" &&
  grep -q "DisplayVersion *REG_SZ *$version\$" <<<"$listed" &&
  grep -q 'Publisher *REG_SZ *kelmaro$' <<<"$listed" ||
  { echo "FAIL: no entry of vorlintex $version in Apps and Features" >&2; exit 1; }
echo "   MSI installed: the six files, regsvr32's registry entries, Apps and Features: ok"

# One site, converted by the Linux build, by the component through the script host, and by
# vorlintex.exe. Paths are relative, so all three spell them alike.
site=$work/site
mkdir -p "$site/src"
printf '<%%@ Language=VBScript %%>\r\n<html>\r\n<!-- #include file="top.inc" -->\r\n<%% Dim n\r\nn = 1\r\nResponse.Write n %%>\r\n<p>caf\xe9</p>\r\n</html>\r\n' >"$site/src/Default.asp"
printf '<%% Sub Hello()\r\nResponse.Write "hi"\r\nEnd Sub %%>\r\n<b>top</b>\r\n' >"$site/src/top.inc"
printf '<html><%%= Now %%>\r\n<script language="VBScript" runat="server">\r\nDim y\r\n</script>\r\n</html>\r\n' >"$site/src/Other.ASP"
printf '<!-- #include file="gone.inc" -->\r\n' >"$site/src/broken.asp"
cp com/test/script_host.js "$site/"
exe="$install_dir/vorlintex.exe"
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

msiexec /x "$msi"
snapshot removed
# What the install added and the removal left; what the runs in between made is no matter.
left_files=$(LC_ALL=C comm -13 "$work/before.files" "$work/installed.files" |
  LC_ALL=C comm -12 - "$work/removed.files")
# The installer's cache folder, which a Windows server has already, stays.
if [ "$left_files" != "./windows/Installer" ] && [ -n "$left_files" ]; then
  echo "FAIL: the MSI's removal left: $left_files" >&2
  exit 1
fi
if [ -n "$(python3 scripts/wine_registry.py class "$work/removed.reg")" ] ||
   ! python3 scripts/wine_registry.py left "$work/before.reg" "$work/installed.reg" "$work/removed.reg" >/dev/null; then
  echo "FAIL: the MSI's removal left in the registry:" >&2
  python3 scripts/wine_registry.py class "$work/removed.reg" >&2
  python3 scripts/wine_registry.py left "$work/before.reg" "$work/installed.reg" "$work/removed.reg" >&2
  exit 1
fi
# A second install into a chosen folder, upgraded by the next version's package (the same
# files), which must replace it there: one entry in Apps and Features, of the new version.
msiexec /i "$msi" 'INSTALLDIR=C:\vorlintex test'
next=${version%.*}.$(( ${version##*.} + 1 ))
(cd build-windows-x86_64/package &&
  wixl -a x64 -D Arch=x64 -D Version="$next" -o "$work/upgrade.msi" ../../packaging/vorlintex.wxs)
msiexec /i "$($wine winepath -w "$work/upgrade.msi" | tr -d '\r')"
registry "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -qF 'C:\vorlintex test\vorlintex.dll' ||
  { echo "FAIL: the class is not registered in the chosen folder after the upgrade" >&2; exit 1; }
versions=$(registry 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
  sed -n 's/^ *DisplayVersion *REG_SZ *//p' | tr '\n' ' ')
[ "$versions" = "$next " ] || { echo "FAIL: after the upgrade, Apps and Features lists: $versions" >&2; exit 1; }
msiexec /x "$($wine winepath -w "$work/upgrade.msi" | tr -d '\r')"
if [ -e "$WINEPREFIX/drive_c/vorlintex test" ] || [ -n "$(registry 'HKCR\tvorlintex.morvane')" ]; then
  echo "FAIL: the removal of the upgraded install in a chosen folder left files or the ProgID" >&2
  exit 1
fi
echo "   MSI removed, and upgraded in a chosen folder: no file, ProgID, class, type library or interface left: ok"
