# Shared by scripts/demo and scripts/test: installs what the project needs
# from Debian's packages and configures and builds a tree.

TQV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

TQV_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-translations-l10n libgl-dev fonts-liberation
  libshp-dev
  locales
  python3 python3-dbf python3-dbfread gdal-bin libdbd-xbase-perl
  xvfb x11-utils xdotool imagemagick libxcb1-dev chromium
  dpkg-dev debootstrap
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 wine64
  qt6-base-dev-tools dpkg-dev nsis fp-utils fonts-liberation2 zip
)

tqv_install_packages() {
  local missing=()
  local p
  for p in "${TQV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local line="apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Faltan paquetes de Debian. Ejecute como root:" >&2
    echo "  apt-get update && $line" >&2
    exit 1
  fi
  echo "Instalando: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >&2
  apt-get install -y -q "${missing[@]}" >&2
}

# The tests check that numbers ignore the C library's locale, which needs a
# locale whose decimal separator is a comma (the users' own, es_ES).
tqv_ensure_test_locale() {
  locale -a 2>/dev/null | grep -i '^es_ES\.utf-\?8$' >/dev/null && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  localedef -i es_ES -f UTF-8 es_ES.UTF-8 >&2 || true
}

# tqv_build DIR [cmake options...]
tqv_build() {
  local dir=$1
  shift
  cmake -S "$TQV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
