#!/usr/bin/env bash
# Takes the screenshots of the two report pages with chromium headless, after
# a round trip on the small sample school: the export's report, the top of
# the import's page (what it found in the solution) and one group's week.
#   docs/screenshots/take_report_screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
tq=$build/src/transquendra
[ -x "$tq" ] || { echo "falta $tq" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
drive_c=$work/c
mkdir -p "$drive_c/GC"
export TQV_DRIVE_C=$drive_c
/usr/bin/python3 "$root/tools/sample_school.py" "$drive_c/GC" --size small >/dev/null
"$tq" export --drive-c "$drive_c" >/dev/null 2>&1
/usr/bin/python3 "$root/tools/standin_quendrix.py" "$drive_c/QTEMP" >/dev/null
mapfile -t dni < <(/usr/bin/python3 "$root/tools/demo_report.py" missing-dni "$drive_c/QTEMP")
"$tq" import --drive-c "$drive_c" "${dni[@]}" </dev/null >/dev/null 2>&1

# shot PAGE OUTPUT WIDTHxHEIGHT [FRAGMENT]
shot() {
  local profile
  profile=$(mktemp -d -p "$work")
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size="$3" \
    --screenshot="$here/$2" "file://$drive_c/QTEMP/$1${4:+#$4}" 2>/dev/null
}
shot INFORME_EXPORTACION.html informe_exportacion.png 1000,1200
shot HORARIOS.html horarios.png 1000,1000
# The first group's week lies below the findings and the index.
shot HORARIOS.html horarios_largo.png 1000,3200
convert "$here/horarios_largo.png" -crop 1000x1000+0+1480 +repage \
  "$here/horarios_grupo.png"
rm "$here/horarios_largo.png"
echo "capturas en $here"
