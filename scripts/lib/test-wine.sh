#!/usr/bin/env bash
# The Windows build under Wine. Cross-builds the libraries without Qt, their
# unit tests and transquendra.exe with mingw-w64 in build-mingw; runs the
# unit tests under wine64 in a fresh Wine prefix (removed at the end); then
# runs an export and an import of the sample school with transquendra.exe on
# the prefix's real drive C: and with the Linux build on a mapped drive C:,
# and compares every table they write byte for byte, apart from the date of
# last update in the header (bytes 1 to 3).
#
#   bash scripts/lib/test-wine.sh      (also run by scripts/test)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tqv_install_packages
cd "$TQV_ROOT"

build=build-mingw
linux_build=${TQV_LINUX_BUILD:-build}  # scripts/test has built it already
suites=(tables_tests platform_tests shell_tests export_tests import_tests)
# Tests that start Linux programs (index_dump, the Python readers) cannot
# run under Wine.
linux_tools='Shapes/IndexDumpTest.*:IndexDumpNumericTest.*'
linux_tools+=':MdxTableTest.AppendsAndEditsReachTheFileInByteOrder'
linux_tools+=':MdxTableTest.ManyRowsMakeADeepTreeThatReadsBack'
linux_tools+=':CorpusTest.ValuesMatchDbfread:CorpusTest.RecordsKeptAsYaml'
linux_tools+=':CorpusTest.HeaderCountLargerThanTheDataReadsWhatIsThere'
gtest_filter=${TQV_WINE_GTEST_FILTER:--$linux_tools}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
py=/usr/bin/python3
status=0

elapsed() { echo "$((SECONDS - $1)) s"; }

echo "-- cross-build with mingw-w64 in $build" >&2
t=$SECONDS
# Warnings are listed rather than fatal here: the Linux build holds -Werror,
# and this build is for running the tests on Windows.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTQV_WERROR=OFF >/dev/null
if ! cmake --build "$build" -j "$(nproc)" --target transquendra "${suites[@]}" \
    -- -k 0 >"$build/build.log" 2>&1; then
  grep -E "error|FAILED" "$build/build.log" | head -n 40 >&2
  echo "some Windows targets failed to build (log: $build/build.log)" >&2
  status=1
fi
grep -a -E "warning:" "$build/build.log" | sort -u >&2 || true
echo "-- cross-build: $(elapsed $t)" >&2

WINEPREFIX=$(mktemp -d /tmp/tqv-wine.XXXXXX)
work=$(mktemp -d /tmp/tqv-wine-trip.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installers, and no display: the programs are console ones.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

t=$SECONDS
"$wine" wineboot --init >/dev/null 2>&1
wineserver -w
echo "-- fresh Wine prefix (wineboot): $(elapsed $t)" >&2

echo "-- unit tests under Wine (filter: $gtest_filter)" >&2
for suite in "${suites[@]}"; do
  exe="$build/tests/$suite.exe"
  if [ ! -f "$exe" ]; then
    echo "$suite: not built" >&2
    status=1
    continue
  fi
  t=$SECONDS
  if "$wine" "$exe" --gtest_brief=1 --gtest_filter="$gtest_filter" \
      >"$build/$suite.wine.log" 2>&1; then
    echo "$suite: $(grep -a -E '^\[  PASSED' "$build/$suite.wine.log") ($(elapsed $t))" >&2
  else
    grep -a -E '^\[  FAILED|Failure|exception' "$build/$suite.wine.log" | head -n 30 >&2
    echo "$suite: FAILED under Wine (log: $build/$suite.wine.log)" >&2
    status=1
  fi
done

# The round trip needs the sample school, the stand-in timetabler and both
# commands of transquendra.
missing=()
for f in tools/sample_school.py tools/standin_quendrix.py tools/demo_report.py \
    "$build/src/transquendra.exe"; do
  [ -f "$f" ] || missing+=("$f")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "-- round trip SKIPPED: missing ${missing[*]}" >&2
  exit $status
fi

echo "-- round trip: Linux build vs transquendra.exe" >&2
t=$SECONDS
if [ ! -x "$linux_build/src/transquendra" ]; then
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$linux_build" --target transquendra -j "$(nproc)" >/dev/null
tq_linux="$linux_build/src/transquendra"
tq_windows() { "$wine" "$build/src/transquendra.exe" "$@"; }

linux_c="$work/linux"
windows_c="$WINEPREFIX/drive_c"  # the real C: of transquendra.exe

# step NAME COMMAND...: runs one command of the trip; on failure shows its
# messages and fails.
step() {
  local name=$1
  shift
  if ! "$@" </dev/null >"$work/$name.log" 2>&1; then
    echo "   $name FAILED:" >&2
    tail -n 20 "$work/$name.log" >&2
    return 1
  fi
}

compare() {  # compare WHAT LINUX_DIR WINDOWS_DIR
  echo "   $1:" >&2
  $py "$TQV_ROOT/scripts/lib/compare_tables.py" "$2" "$3" >&2
}

round_trip() {
  local same=0
  mkdir -p "$linux_c/GC" "$windows_c/GC"
  step school-linux $py tools/sample_school.py "$linux_c/GC" --size small &&
    step school-windows $py tools/sample_school.py "$windows_c/GC" --size small &&
    step export-linux "$tq_linux" export --drive-c "$linux_c" &&
    step export-windows tq_windows export || return 1
  compare "export, C:\\QTEMP" "$linux_c/QTEMP" "$windows_c/QTEMP" || same=1
  # Both imports read the same solution and the same identity numbers.
  step standin $py tools/standin_quendrix.py "$linux_c/QTEMP" || return 1
  cp "$linux_c/QTEMP/SOLUC.DBF" "$windows_c/QTEMP/SOLUC.DBF"
  local dni
  mapfile -t dni < <($py tools/demo_report.py missing-dni "$linux_c/QTEMP")
  step import-linux "$tq_linux" import --drive-c "$linux_c" "${dni[@]}" &&
    step import-windows tq_windows import "${dni[@]}" || return 1
  compare "import, C:\\GC" "$linux_c/GC" "$windows_c/GC" || same=1
  compare "import, C:\\QTEMP" "$linux_c/QTEMP" "$windows_c/QTEMP" || same=1
  return $same
}

round_trip || status=1
echo "-- round trip: $(elapsed $t)" >&2

exit $status
