#!/usr/bin/env bash
# A user's plain build does not turn warnings into errors, and every usual
# build type (Debug, Release; RelWithDebInfo is scripts/test's own build)
# compiles without a single warning. Each type builds in build-<type>.
#
#   bash scripts/lib/test-build-types.sh      (also run by scripts/test)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
tqv_install_packages
cd "$TQV_ROOT"

plain=$(mktemp -d)
trap 'rm -rf "$plain"' EXIT
cmake -S . -B "$plain" -G Ninja >/dev/null
if grep -q -- "-Werror" "$plain/compile_commands.json"; then
  echo "FAIL: a plain build turns warnings into errors" >&2
  exit 1
fi
echo "ok: a plain build keeps warnings as warnings" >&2

for type in Debug Release; do
  dir=build-$(echo "$type" | tr '[:upper:]' '[:lower:]')
  tqv_build "$dir" -DCMAKE_BUILD_TYPE="$type" -DTQV_WERROR=ON >&2 \
    || { echo "FAIL: the $type build has warnings" >&2; exit 1; }
  echo "ok: $type builds without warnings" >&2
done
