# The Windows programs and their packages, shared by scripts/windows and
# scripts/lib/test-windows-gui.sh. Source common.sh and qt-windows.sh first.

TQV_WINDOWS_VERSION=$(sed -n 's/^project(TransQuendraValencia VERSION \([0-9.]*\).*/\1/p' \
  "$TQV_ROOT/CMakeLists.txt")

# tqv_windows_build DIR: cross-builds TransQuendraValencia.exe (static Qt
# inside), transquendra.exe, and the test host and probe, in DIR.
tqv_windows_build() {
  local dir=$1
  # A folder configured against another Qt keeps that Qt's packages in its
  # cache, whatever TQV_QT_WINDOWS now says: it starts afresh.
  if [ -f "$dir/CMakeCache.txt" ] &&
      ! grep -q "^Qt6_DIR:PATH=$TQV_QT_WINDOWS/" "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  cmake -S "$TQV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TQV_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DTQV_GUI=ON -DTQV_QT_WINDOWS="$TQV_QT_WINDOWS" -DTQV_BENCH=OFF \
    -DTQV_WERROR=OFF >"$dir.configure.log" 2>&1 || {
    tail -n 30 "$dir.configure.log" >&2
    return 1
  }
  cmake --build "$dir" -j "$(nproc)" --target TransQuendraValencia \
    transquendra tqv_window_host tqv_window_probe >"$dir/build.log" 2>&1 || {
    grep -E "error|FAILED" "$dir/build.log" | head -n 30 >&2
    return 1
  }
}

# Text files for Windows readers: CRLF line ends.
tqv_crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }

# tqv_windows_package BUILD_DIR DIST_DIR: the zip and the NSIS installer.
tqv_windows_package() {
  local build=$1 dist=$2
  local name="TransQuendraValencia-$TQV_WINDOWS_VERSION"
  local stage="$build/package/$name"
  rm -rf "$build/package" && mkdir -p "$stage" "$dist"
  dist=$(realpath "$dist")
  local exe
  for exe in src/TransQuendraValencia.exe src/transquendra.exe; do
    x86_64-w64-mingw32-strip -o "$stage/$(basename "$exe")" "$build/$exe"
  done
  tqv_crlf "$TQV_ROOT/packaging/windows/LEEME.txt" "$stage/LEEME.txt"
  tqv_crlf "$build/src/bundled_fonts/LiberationSans-LICENSE.txt" \
    "$stage/LiberationSans-LICENCIA.txt"
  rm -f "$dist/$name-win64.zip"
  (cd "$build/package" && zip -q -r -X "$dist/$name-win64.zip" "$name")
  makensis -V2 -DVERSION="$TQV_WINDOWS_VERSION" -DSTAGE="$(realpath "$stage")" \
    -DOUTFILE="$dist/$name-setup.exe" \
    "$TQV_ROOT/packaging/windows/installer.nsi" >"$build/makensis.log" 2>&1 || {
    tail -n 20 "$build/makensis.log" >&2
    return 1
  }
}
