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
# A variant written at:COMMIT is that commit built as it stands, in a tree of
# its own (WORK/at-COMMIT), without a patch: `bench/speed_paths.sh WORK 5
# at:3157e31` sets today's tree beside an earlier one, and a ratio above 1
# then means that today's is faster.
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
# One tree, built once for each commit; each variant is its patch applied,
# the changed files built again, the programs kept in WORK/bin/NAME, the
# patch taken off.
programs="bench/table_bench bench/export_bench bench/import_bench src/transquendra"
declare -A trees
build() {  # build NAME TREE
  cmake --build "$2/build" -j2 --target table_bench export_bench \
    import_bench transquendra >"$work/build-$1.log" 2>&1 || return 1
  mkdir -p "$work/bin/$1"
  for program in $programs; do cp "$2/build/$program" "$work/bin/$1/"; done
  trees[$1]=$2
}
prepare() {  # prepare TREE COMMIT: the commit's files, configured
  local commit
  commit=$(git -C "$root" rev-parse "$2")
  [[ -f $1/build/build.ninja && $(cat "$1/.commit" 2>/dev/null) == "$commit" ]] &&
    return
  rm -rf "$1"
  mkdir -p "$1"
  git -C "$root" archive "$commit" | tar -x -C "$1"
  echo "$commit" >"$1/.commit"
  cmake -S "$1" -B "$1/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTQV_TESTS=OFF -DTQV_GUI=OFF ${SPEED_PATHS_CMAKE_ARGS:-} \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} \
    >/dev/null
}
tree=$work/base
prepare "$tree" HEAD
build base "$tree"
built=()
for variant in "$@"; do
  if [[ $variant == at:* ]]; then
    prepare "$work/at-${variant#at:}" "${variant#at:}"
    if build "$variant" "$work/at-${variant#at:}"; then built+=("$variant"); fi
    continue
  fi
  (cd "$tree" && patch -s -p1 <"$patches/$variant.patch")
  if build "$variant" "$tree"; then
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
measure() {  # measure PROGRAMS VARIANT
  local b=$1 out
  out=$("$b/table_bench" 500000)
  awk '/^read /{w=$3} /^write /{w=$3; write=1}
       /^ +cpu /{print (write ? "table_write" : "table_read"), w, $3}' <<<"$out"
  # export_bench finds its school generator beside its source file.
  out=$(cd "${trees[$2]}/build" && "$b/export_bench" large)
  # The run without its report page and the import without its week page,
  # where the bench has them: the same work as the builds made before the
  # pages came, and the engine's share of it.
  awk '/^export run \(7 steps\)/{w=$5; c=$7}
       /^export run without its report/{w=$6; c=$8}
       END {print "export_large", w, c}' <<<"$out"
  out=$("$b/import_bench" 100000 7)
  awk '/^import run  /{w=$3; c=$5}
       /^import run without HORARIOS.html/{w=$5; c=$7}
       END {print "import", w, c}' <<<"$out"
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
    keep "$variant" < <(measure "$work/bin/$variant" "$variant")
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
