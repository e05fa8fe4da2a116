#!/bin/bash
# How much faster `transquendra dump` writes a 500,000-row table as CSV than
# GDAL's ogr2ogr and python3-dbfread write the same table, run by turns in
# one run, best of ROUNDS (default 3), wall and processor time.
#
#   bench/dump_vs_others.sh BUILD [ROUNDS]
#
# BUILD is a build folder with bench/table_bench (which makes the table) and
# src/transquendra. Needs gdal-bin and python3-dbfread, which scripts/test
# installs.
set -euo pipefail

build=$(realpath "${1:?usage: bench/dump_vs_others.sh BUILD [ROUNDS]}")
rounds=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
big=$work/big.dbf
"$build/bench/table_bench" --phase make "$big" 500000 >/dev/null

# Each tool's own messages go to a log, so that only the timing reaches the
# line that is read.
ours() { "$build/src/transquendra" dump "$big" >"$work/ours.csv" 2>>"$work/log"; }
gdal() {
  rm -f "$work/gdal.csv"
  ogr2ogr -f CSV "$work/gdal.csv" "$big" 2>>"$work/log"
}
dbfread() {
  /usr/bin/python3 - "$big" >"$work/dbfread.csv" 2>>"$work/log" <<'EOF'
import csv, sys
from dbfread import DBF
table = DBF(sys.argv[1], encoding="cp1252")
out = csv.writer(sys.stdout)
out.writerow(table.field_names)
for record in table:
    out.writerow(record.values())
EOF
}

less() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a < b)}'; }
declare -A wall cpu
for ((round = 1; round <= rounds; ++round)); do
  for tool in ours gdal dbfread; do
    TIMEFORMAT='%R %U %S'
    read -r w u s < <({ time "$tool"; } 2>&1)
    c=$(awk -v u="$u" -v s="$s" 'BEGIN {print u + s}')
    if [[ -z ${wall[$tool]:-} ]] || less "$w" "${wall[$tool]}"; then wall[$tool]=$w; fi
    if [[ -z ${cpu[$tool]:-} ]] || less "$c" "${cpu[$tool]}"; then cpu[$tool]=$c; fi
  done
done

echo "CSV of a 500,000-row table, best of $rounds   wall s    cpu s   ours is faster by"
for tool in ours gdal dbfread; do
  awk -v t="$tool" -v w="${wall[$tool]}" -v c="${cpu[$tool]}" \
    -v ow="${wall[ours]}" -v oc="${cpu[ours]}" 'BEGIN {
      printf "  %-38s %8.3f %8.3f", t, w, c
      if (t != "ours") printf "   %5.1fx wall %5.1fx cpu", w / ow, c / oc
      printf "\n"
    }'
done
