#!/usr/bin/env bash
# The Debian package as a user meets it: scripts/package builds it; it holds
# both programs, the desktop entry and icon, and the man page, and depends
# on Debian's Qt 6 packages; `apt-get install ./file.deb` installs it; the
# installed transquendra tells its version and runs the demo's export; and
# removing the package leaves none of its files behind.
#
# The package is installed into a fresh Debian 12 chroot made by debootstrap
# (its minimal base is kept in build-chroot/ after the first run; the
# package's dependencies are downloaded on every run, as a user's machine
# would), or on this machine when debootstrap cannot make one or
# TQV_PACKAGE_TEST_ON_MACHINE=1. It needs root; without root it stops after
# checking the package's contents.
#
#   bash scripts/lib/test-package.sh      (also run by scripts/test)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tqv_install_packages
cd "$TQV_ROOT"

fail() { echo "FAIL: $*" >&2; exit 1; }
deb=$(scripts/package)
echo "-- $deb" >&2

contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/transquendra ./usr/bin/TransQuendraValencia \
  ./usr/share/applications/transquendravalencia.desktop \
  ./usr/share/icons/hicolor/scalable/apps/transquendravalencia.svg \
  ./usr/share/man/man1/transquendra.1.gz; do
  grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "no dependency on $needed: $depends"
done
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
name=$(sed -n 's/^Name=//p' "$unpacked/usr/share/applications/transquendravalencia.desktop")
rm -rf "$unpacked"
[ "$name" = "Transferencia ZELMAR–Quendrix" ] || fail "menu name: $name"
echo "ok: contents, dependencies and menu entry" >&2

if [ "$(id -u)" -ne 0 ]; then
  echo "(not root: the package is not installed)" >&2
  exit 0
fi

# A fresh root file system from the kept minimal base, made once.
make_root() {
  local base=build-chroot/bookworm-minbase.tar
  if [ ! -s "$base" ]; then
    local made
    made=$(mktemp -d)
    debootstrap --variant=minbase bookworm "$made" http://deb.debian.org/debian >&2 \
      || { rm -rf "$made"; return 1; }
    mkdir -p build-chroot
    tar -C "$made" -cf "$base.part" . && mv "$base.part" "$base"
    rm -rf "$made"
  fi
  local root
  root=$(mktemp -d)
  tar -C "$root" -xf "$base"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "$root"
}

root=""
if [ "${TQV_PACKAGE_TEST_ON_MACHINE:-}" != 1 ] && root=$(make_root); then
  echo "-- in a fresh Debian 12 chroot: $root" >&2
  run() { chroot "$root" "$@"; }
  cp "$deb" "$root/tmp/"
  installed_deb=/tmp/$(basename "$deb")
  run apt-get update -q >&2
else
  echo "-- on this machine (no chroot)" >&2
  root=""
  run() { "$@"; }
  installed_deb=./$deb
fi
package=$(dpkg-deb -f "$deb" Package)
cleanup() {
  if [ -n "$root" ]; then
    rm -rf "$root"
  else
    apt-get remove --purge -y -q "$package" >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive
run apt-get install -y -q "$installed_deb" >&2

version=$(run /usr/bin/transquendra --version)
[ "$version" = "transquendra (TransQuendraValencia) $(dpkg-deb -f "$deb" Version)" ] \
  || fail "version: $version"
[ -s "$root/usr/share/man/man1/transquendra.1.gz" ] || fail "no man page installed"
# The window program finds its libraries and Qt's platform plugins: it runs
# until stopped.
status=0
timeout 5 chroot "${root:-/}" env QT_QPA_PLATFORM=offscreen \
  /usr/bin/TransQuendraValencia >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the window program ended at once ($status)"

# The demo's export, by the installed program, on a sample school.
school=/srv/tqv-school
rm -rf "${root}$school"
mkdir -p "${root}$school/drive_c/GC"
/usr/bin/python3 tools/sample_school.py "${root}$school/drive_c/GC" --size small >/dev/null
run /usr/bin/transquendra export --drive-c "$school/drive_c" 2>"${root}$school/export.log" \
  || { cat "${root}$school/export.log" >&2; fail "the installed export failed"; }
/usr/bin/python3 tools/demo_report.py export "${root}$school/drive_c/QTEMP" >/dev/null \
  || fail "the installed export wrote no intermediate tables"
rm -rf "${root}$school"
echo "ok: installed, $version, the window program starts, the demo's export ran" >&2

files=$(run dpkg -L "$package")
run apt-get remove --purge -y -q "$package" >&2
if run dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep "install ok" >/dev/null; then
  fail "the package is still installed"
fi
while read -r file; do
  if [ -f "${root}$file" ]; then fail "$file was left behind"; fi
done <<<"$files"
echo "ok: removed cleanly" >&2
