# Qt 6 for Windows, cross-built once from Debian's own qt6-base source with
# mingw-w64 (posix threads), static, with only what the window program needs.
# Debian has no Qt for Windows; its qt6-base source is the same 6.4.2 as the
# installed host tools (qt6-base-dev-tools), so those serve the cross-build.
#
# The installed Qt is kept outside the clone, in a folder named after the
# version and a hash of the options, so that later builds reuse it:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/transquendra/qt-6.4.2-mingw-static-<hash>
#
# Source it, then:  tqv_qt_windows  (sets TQV_QT_WINDOWS to the prefix)
# Needs common.sh sourced first (TQV_ROOT).

TQV_QT_WINDOWS_VERSION=6.4.2

# Everything the window program does not use is switched off. The "+dfsg"
# source lacks the tablet header wintab.h, so tablet events go, and with them
# direct2d; with opengl off, dynamicgl must go too or the windows plugin
# still calls an OpenGL function.
TQV_QT_WINDOWS_OPTIONS=(
  -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengles2=OFF
  -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF
  -DFEATURE_xml=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF
  # 6.4.2's Gui builds the DirectWrite font database only with direct2d, but
  # the windows plugin calls it whenever directwrite3 is on: the link fails.
  -DFEATURE_directwrite3=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_system_png=OFF -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON
  -DFEATURE_png=ON -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
  -DFEATURE_pkg_config=OFF
)

tqv_qt_windows_key() {
  {
    echo "$TQV_QT_WINDOWS_VERSION"
    printf '%s\n' "${TQV_QT_WINDOWS_OPTIONS[@]}"
    declare -f tqv_qt_windows_patch
  } | sha256sum | cut -c1-12
}

tqv_qt_windows_prefix() {
  local cache=${XDG_CACHE_HOME:-$HOME/.cache}/transquendra
  echo "$cache/qt-$TQV_QT_WINDOWS_VERSION-mingw-static-$(tqv_qt_windows_key)"
}

# The deb-src entry for the suites the machine already uses.
tqv_qt_windows_deb_src() {
  local list=/etc/apt/sources.list.d/transquendra-src.sources
  [ -f "$list" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Falta una entrada deb-src para qt6-base. Ejecute como root scripts/windows." >&2
    return 1
  fi
  cat >"$list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -q >&2
}

# Source changes the FEATURE_ switches do not reach (none yet past this point
# is applied unless needed; kept here so the cache key follows them).
tqv_qt_windows_patch() {
  local src=$1
  : "$src"
}

# tqv_qt_windows: builds and installs Qt into the cache unless it is there.
# An interrupted build of the same key resumes where it stopped.
# TQV_QT_WINDOWS_JOBS sets the parallel jobs (default: the processors).
tqv_qt_windows() {
  TQV_QT_WINDOWS=$(tqv_qt_windows_prefix)
  export TQV_QT_WINDOWS
  [ -f "$TQV_QT_WINDOWS/.complete" ] && return 0
  local version work src t0 key
  version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
  work=${TQV_QT_WINDOWS_WORK:-/tmp/tqv-qt-windows}
  key=$(tqv_qt_windows_key)
  t0=$SECONDS
  if [ "$(cat "$work/key" 2>/dev/null)" = "$key" ] &&
      [ -f "$work/build/build.ninja" ]; then
    echo "-- Qt $version para Windows: se continúa en $work" >&2
  else
    tqv_qt_windows_configure "$version" "$work" || return 1
    echo "$key" >"$work/key"
  fi
  cmake --build "$work/build" -j "${TQV_QT_WINDOWS_JOBS:-$(nproc)}" \
    >>"$work/build.log" 2>&1 || {
    grep -E "error|FAILED" "$work/build.log" | head -n 40 >&2
    return 1
  }
  cmake --install "$work/build" >"$work/install.log" 2>&1 || return 1
  echo "$version $((SECONDS - t0)) s" >"$TQV_QT_WINDOWS/.complete"
  echo "-- Qt para Windows: $((SECONDS - t0)) s, en $TQV_QT_WINDOWS" >&2
  rm -rf "$work"
}

# Fetches the source into WORK and configures the build in WORK/build.
tqv_qt_windows_configure() {
  local version=$1 work=$2 src
  tqv_qt_windows_deb_src || return 1
  rm -rf "$work" && mkdir -p "$work"
  echo "-- Qt $version para Windows: fuente en $work" >&2
  (cd "$work" && apt-get source -q "qt6-base=$version" >get-source.log 2>&1) || {
    tail -n 20 "$work/get-source.log" >&2
    return 1
  }
  src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  tqv_qt_windows_patch "$src"
  cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$(tqv_qt_windows_prefix)" \
    -DCMAKE_TOOLCHAIN_FILE="$TQV_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${TQV_QT_WINDOWS_OPTIONS[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    return 1
  }
}
