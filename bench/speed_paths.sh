#!/bin/bash
# What each speed path of the engine gains over the general path it stands
# in for, measured side by side in one run on the largest school.
#
#   bench/speed_paths.sh WORK [ROUNDS] [VARIANT...]
#
# The base is the committed tree (HEAD); a variant is the same tree with one
# patch of bench/speed_paths/ applied, which switches one speed path off in
# favour of the general path (the patch's first line says which; default:
# every patch). All are built alike in one tree, WORK/base (RelWithDebInfo,
# with the compiler launcher in CMAKE_CXX_COMPILER_LAUNCHER and the options
# in SPEED_PATHS_CMAKE_ARGS if set), and then base and variants run by
# turns, ROUNDS
# times (default 3), and the best time of each is kept: table_bench on
# 500,000 rows (read and write), export_bench large, import_bench and a dump
# of the 500,000-row table. Wall and processor times are both printed, as
# ratios variant / base: the machine may be shared, and processor time is
# less swayed by other load (but the import's reading thread shows only in
# wall time). A ratio of 1.10 means the general path costs 10% more.
#
# The patches follow the code they change: when a speed path is rewritten,
# its patch is made again (edit, `git diff > bench/speed_paths/NAME.patch`).
set -euo pipefail

mkdir -p "${1:?usage: bench/speed_paths.sh WORK [ROUNDS] [VARIANT...]}"
work=$(realpath "$1")
rounds=${2:-3}
shift $(($# > 1 ? 2 : 1))
root=$(cd "$(dirname "$0")/.." && pwd)
patches=$root/bench/speed_paths
if (($# == 0)); then
  set -- $(cd "$patches" && ls *.patch | sed 's/\.patch$//')
fi
# One tree, built once; each variant is its patch applied, the changed
# files built again, the programs kept in WORK/bin/NAME, the patch taken off.
tree=$work/base
programs="bench/table_bench bench/export_bench bench/import_bench src/transquendra"
build() {  # build NAME
  cmake --build "$tree/build" -j2 --target table_bench export_bench \
    import_bench transquendra >"$work/build-$1.log" 2>&1 || return 1
  mkdir -p "$work/bin/$1"
  for program in $programs; do cp "$tree/build/$program" "$work/bin/$1/"; done
}
if [[ ! -f $tree/build/build.ninja ]]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  git -C "$root" archive HEAD | tar -x -C "$tree"
  cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTQV_TESTS=OFF -DTQV_GUI=OFF ${SPEED_PATHS_CMAKE_ARGS:-} \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} \
    >/dev/null
fi
build base
built=()
for variant in "$@"; do
  (cd "$tree" && patch -s -p1 <"$patches/$variant.patch")
  if build "$variant"; then
    built+=("$variant")
  else
    echo "$variant: not built, see $work/build-$variant.log" >&2
  fi
  (cd "$tree" && patch -s -R -p1 <"$patches/$variant.patch")
done
set -- "${built[@]}"

big=$work/big.dbf
"$work/bin/base/table_bench" --phase make "$big" 500000 >/dev/null

# One round of every measure for the build in $1, as "name wall cpu" lines.
measure() {
  local b=$1 out
  out=$("$b/table_bench" 500000)
  awk '/^read /{w=$3} /^write /{w=$3; write=1}
       /^ +cpu /{print (write ? "table_write" : "table_read"), w, $3}' <<<"$out"
  # export_bench finds its school generator beside its source file.
  out=$(cd "$tree/build" && "$b/export_bench" large)
  awk '/^export run \(7 steps\)/{print "export_large", $5, $7}' <<<"$out"
  out=$("$b/import_bench" 100000 7)
  awk '/^import run  /{print "import", $3, $5}' <<<"$out"
  local TIMEFORMAT='%R %U %S'
  { time "$b/transquendra" dump "$big" >/dev/null; } 2>&1 |
    awk '{print "dump_500k", $1, $2 + $3}'
}

less() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a < b)}'; }

declare -A best_wall best_cpu
keep() {  # keep VARIANT < lines
  local name wall cpu key
  while read -r name wall cpu; do
    key="$1/$name"
    if [[ -z ${best_wall[$key]:-} ]] || less "$wall" "${best_wall[$key]}"; then
      best_wall[$key]=$wall
    fi
    if [[ -z ${best_cpu[$key]:-} ]] || less "$cpu" "${best_cpu[$key]}"; then
      best_cpu[$key]=$cpu
    fi
  done
}

for ((round = 1; round <= rounds; ++round)); do
  for variant in base "$@"; do
    keep "$variant" < <(measure "$work/bin/$variant")
  done
done

measures="table_read table_write export_large import dump_500k"
printf '%-14s' "base"
for m in $measures; do printf ' %18s' "$m"; done
printf '\n%-14s' "  wall, cpu s"
for m in $measures; do
  printf ' %8.3f %8.3f ' "${best_wall[base/$m]}" "${best_cpu[base/$m]}"
done
echo
for variant in "$@"; do
  printf '%-14s' "$variant"
  for m in $measures; do
    awk -v vw="${best_wall[$variant/$m]}" -v bw="${best_wall[base/$m]}" \
      -v vc="${best_cpu[$variant/$m]}" -v bc="${best_cpu[base/$m]}" \
      'BEGIN {printf " %8.2fx %7.2fx", vw / bw, vc / bc}'
  done
  echo
done
echo "(variant / base, best of $rounds; above 1 the speed path gains)"
