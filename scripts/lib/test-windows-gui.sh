#!/usr/bin/env bash
# The window program on Windows, under wine64 on Xvfb. Builds Qt for Windows
# unless it is in the cache (scripts/lib/qt-windows.sh), the programs and
# the installer (scripts/lib/windows-build.sh), then, in a fresh Wine
# prefix with the small sample school in its C:\GC:
#   1. the installer runs silently; the installed program opens the transfer
#      window with a 599 x 267 client area and its elements where the layout
#      puts them; at the end the uninstaller removes it;
#   2. our Win32 host starts it embedded ("importar" and "exportar"): a child
#      of the host at 2,2 with only the chosen panel; destroying the host
#      ends it; an export through the embedded window writes Quendrix.ini
#      (Transformado=1, through WritePrivateProfileString) and closes it;
#   3. an import through the window, with a D.N.I. typed in the teacher
#      window and a start time changed in the period window, leaves horgrup
#      and horprof as the Linux build leaves them with the same values;
#   4. F1 calls Wine's HtmlHelpA with ZELMAR.chm and context 1, and
#      "F1 AYUDA" opens the table of contents;
#   5. screenshots of the four windows were taken (TQV_WINDOWS_SCREENSHOTS=DIR
#      copies them there, e.g. docs/screenshots).
# The windows are read and driven from outside, as a user or the
# timetabling program would, by tests/windows/window_probe.cpp and
# tests/windows/window_host.cpp. Ends with "N passed, M failed".
#
#   bash scripts/lib/test-windows-gui.sh      (also run by scripts/test)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$TQV_ROOT/scripts/lib/qt-windows.sh"
source "$TQV_ROOT/scripts/lib/windows-build.sh"
tqv_install_packages
cd "$TQV_ROOT"

build=build-windows
linux_build=${TQV_LINUX_BUILD:-build}
shots_out=${TQV_WINDOWS_SCREENSHOTS:-}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
py=/usr/bin/python3
checks=("install and stand-alone" "embedded in a Win32 host"
  "import through the window" "help" "screenshots")
declare -A failed_parts=()

# fail CHECK TEXT: marks check CHECK (1 to 5) failed and says why.
fail() {
  echo "   FAIL ($1. ${checks[$1 - 1]}): $2" >&2
  failed_parts[$1]=1
}
ok() { echo "   ok: $1" >&2; }

summary() {
  local passed=0 failed=0 i
  for i in 1 2 3 4 5; do
    if [ -n "${failed_parts[$i]:-}" ]; then
      echo "FAILED: $i. ${checks[$i - 1]}"
      failed=$((failed + 1))
    else
      echo "passed: $i. ${checks[$i - 1]}"
      passed=$((passed + 1))
    fi
  done
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

give_up() {  # the programs could not be built: every check fails
  echo "$1" >&2
  for i in 1 2 3 4 5; do failed_parts[$i]=1; done
  summary
  exit 1
}

t=$SECONDS
tqv_qt_windows || give_up "Qt para Windows no se pudo construir"
echo "-- Qt for Windows ready ($((SECONDS - t)) s): $TQV_QT_WINDOWS" >&2
t=$SECONDS
tqv_windows_build "$build" || give_up "los programas de Windows no se construyeron"
tqv_windows_package "$build" "$build/dist" || give_up "no se hizo el instalador"
echo "-- programs and installer built ($((SECONDS - t)) s)" >&2
tools=$build/tests/windows
setup=$build/dist/TransQuendraValencia-$TQV_WINDOWS_VERSION-setup.exe

work=$(mktemp -d /tmp/tqv-wingui.XXXXXX)
mkdir -p "$work/shots"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: none is reachable, and none is needed.
export WINEDLLOVERRIDES="mscoree,mshtml="
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

t=$SECONDS
timeout 300 "$wine" wineboot --init >/dev/null 2>&1
timeout 120 wineserver -w
# Wine draws the frames and title bars itself: no window manager runs here.
timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
  >/dev/null 2>&1
# Every widget a native window of its own, so that the probe can see it.
# Wine leaves the Unix variables that begin with QT_ out of a Windows
# program's environment, so the variable goes into the user's environment
# in the registry, where the utility started by the host finds it too.
timeout 60 "$wine" reg add 'HKCU\Environment' /v QT_USE_NATIVE_WINDOWS /d 1 /f \
  >/dev/null 2>&1
echo "-- fresh Wine prefix ($((SECONDS - t)) s)" >&2

drive_c=$WINEPREFIX/drive_c
quendrix=$drive_c/Quendrix  # where the installer puts the utility
app='C:\Quendrix\TransQuendraValencia.exe'
main_title="Exportar e importar datos"
host_title="Anfitrión de prueba"
$py tools/sample_school.py "$drive_c/GC" --size small >/dev/null

probe() {
  timeout 60 "$wine" "$tools/tqv_window_probe.exe" "$@" 2>/dev/null | tr -d '\r'
}
# shot NAME TITLE: the window with TITLE, frame and all, as NAME.png.
shot() {
  local x y w h
  read -r _ x y w h < <(probe rect "$2")
  [ -n "${h:-}" ] || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/shots/$1.png"
}
# start_utility ARGS...: the installed program, in the background.
start_utility() {
  (cd "$quendrix" && exec timeout 300 "$wine" "$app" "$@" \
    >"$work/utility.log" 2>"$work/utility.err") &
  utility_pid=$!
}
# ended PID SECONDS: whether the process ends within SECONDS.
ended() {
  local i
  for i in $(seq $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
# A message box of the program (caption "TransQuendraValencia") is
# answered with Enter, its "Aceptar".
answer_box() {
  probe wait TransQuendraValencia "$1" >/dev/null &&
    probe key TransQuendraValencia RETURN
}
# has_rect FILE X Y W H: a visible window with that rectangle was listed.
has_rect() {
  grep -q "^child $2 $3 $4 $5 visible" "$1"
}

# ---------------------------------------------------------------------------
echo "-- 1. install and stand-alone" >&2
if timeout 120 "$wine" "$setup" /S '/D=C:\Quendrix' >/dev/null 2>&1 &&
    [ -f "$quendrix/TransQuendraValencia.exe" ]; then
  ok "silent install into C:\\Quendrix"
else
  fail 1 "the installer did not put TransQuendraValencia.exe in C:\\Quendrix"
fi
menu=$(find "$drive_c/users" -path "*Start Menu/Programs/TransQuendraValencia/*.lnk" \
  2>/dev/null | wc -l)
[ "$menu" -ge 2 ] && ok "Start-menu entries: $menu" || fail 1 "no Start-menu entries"

start_utility
if probe wait "$main_title" 60 >/dev/null; then
  sleep 2
  probe tree "$main_title" >"$work/standalone.tree"
  shot windows_standalone "$main_title" || true
  read -r _ cw ch < <(grep '^client' "$work/standalone.tree")
  [ "${cw:-0}x${ch:-0}" = 599x267 ] && ok "client area 599 x 267" ||
    fail 1 "client area ${cw:-?} x ${ch:-?}, not 599 x 267"
  # Each element's place in the window's client area (its panel's place
  # plus its own), as the layout puts them.
  missing=()
  while read -r x y w h name; do
    has_rect "$work/standalone.tree" "$x" "$y" "$w" "$h" || missing+=("$name")
  done <<'LAYOUT'
0 117 599 150 Draw3D1
0 0 299 117 Draw3D2
299 0 300 117 Draw3D3
14 135 220 22 EdNuevoDir
14 158 220 83 ListaDirectorios
13 242 222 20 ListaUnidades
304 134 145 21 CBCentro
304 168 89 25 BClose
310 198 75 21 Button1
23 3 257 34 Label8
2 34 296 36 Label3
71 90 89 25 BExportar
305 0 281 25 Label4
308 17 275 48 Label5
391 57 89 25 BImportar
308 86 281 65 Label6
LAYOUT
  # The language list grows to the left until "CASTELLANO" shows whole.
  grep -E -q "^child [0-9]+ 66 [0-9]+ 21 visible" "$work/standalone.tree" &&
    $py - "$work/standalone.tree" <<'PY' || missing+=(ComboBoxValCast)
import sys
rects = [l.split()[1:5] for l in open(sys.argv[1]) if l.startswith("child ")]
sys.exit(0 if any(int(x) + int(w) == 286 and int(y) == 66 and int(w) >= 93
                  and int(h) == 21 for x, y, w, h in rects) else 1)
PY
  [ ${#missing[@]} -eq 0 ] && ok "17 elements where the layout puts them" ||
    fail 1 "not in place: ${missing[*]} (tree: see below)"
  [ ${#missing[@]} -eq 0 ] || head -n 40 "$work/standalone.tree" >&2
  probe click "$main_title" 348 180 >/dev/null  # "&Salir"
  ended "$utility_pid" 20 && ok "Salir ends the program" ||
    fail 1 "the program did not end on Salir"
  [ ! -e "$quendrix/Quendrix.ini" ] && ok "stand-alone: no Quendrix.ini" ||
    fail 1 "stand-alone close wrote Quendrix.ini"
else
  fail 1 "the transfer window did not open: $(tail -n 5 "$work/utility.err")"
fi
kill "$utility_pid" 2>/dev/null

# ---------------------------------------------------------------------------
echo "-- 2. embedded in a Win32 host" >&2
host() {  # host PANEL ACTION SECONDS: our host, in the background
  (exec timeout 300 "$wine" "$tools/tqv_window_host.exe" "$app" "$@" \
    >"$work/host.log" 2>"$work/host.err") &
  host_pid=$!
  local i
  for i in $(seq 600); do
    grep -q '^ready' "$work/host.log" 2>/dev/null && break
    kill -0 "$host_pid" 2>/dev/null || break
    sleep 0.1
  done
  tr -d '\r' <"$work/host.log" >"$work/host.tree"
}
check_embedded() {  # check_embedded PANEL SHOWN_X SHOWN_Y HIDDEN_X HIDDEN_Y
  if grep -q "^embedded .* parent ok style child at 2 2 size 599 267" "$work/host.tree"; then
    ok "$1: child of the host at 2,2, 599 x 267"
  else
    fail 2 "$1: $(grep -E '^(embedded|no embedded)' "$work/host.tree" || echo 'no report')"
  fi
  # The chosen panel fills the upper area; the other one is hidden.
  if has_rect "$work/host.tree" 0 0 599 117 && has_rect "$work/host.tree" "$2" "$3" 89 25 &&
      ! grep -q "^child $4 $5 89 25 visible" "$work/host.tree"; then
    ok "$1: only its panel shows"
  else
    fail 2 "$1: the panels are not as chosen"
  fi
}

host importar destroy 20
check_embedded importar 92 57 71 90
wait "$host_pid"
grep -q '^host destroyed' "$work/host.log" && grep -q '^utility ended' "$work/host.log" &&
  ok "destroying the host ends the utility" ||
  fail 2 "the utility outlived its host: $(tr -d '\r' <"$work/host.log" | tail -n 1)"
rm -f "$quendrix/Quendrix.ini"

# The export through the embedded window; the system's profile call is
# traced so that the test sees who wrote Quendrix.ini.
WINEDEBUG=-all,trace+profile host exportar wait 120
check_embedded exportar 71 90 391 57
shot windows_embedded "$host_title" || true
probe click "$host_title" 117 104 >/dev/null  # "Aceptar" of the export panel
answer_box 30 >/dev/null  # the warning before the export
answer_box 120 >/dev/null  # "finished"
wait "$host_pid"
if grep -q '^utility ended 0' "$work/host.log"; then
  ok "the export closes the embedded window"
else
  fail 2 "the embedded export did not close the utility: $(tr -d '\r' <"$work/host.log" | tail -n 1)"
fi
if tr -d '\r' <"$quendrix/Quendrix.ini" 2>/dev/null | grep -q '^Transformado=1$' &&
    grep -a -q 'WritePrivateProfileString.*Transformado.*L"1"' "$work/host.err"; then
  ok "Quendrix.ini: Transformado=1, by WritePrivateProfileString"
else
  fail 2 "Quendrix.ini: $(cat "$quendrix/Quendrix.ini" 2>/dev/null | tr '\r\n' '  ')"
fi
[ -f "$drive_c/QTEMP/PROFT.DBF" ] || [ -f "$drive_c/QTEMP/proft.dbf" ] ||
  fail 2 "the export wrote no intermediate tables"

# ---------------------------------------------------------------------------
echo "-- 3. import through the window" >&2
# The Linux build's reference: the same administration folder, exchange
# folder and solution, the same typed values.
$py tools/standin_quendrix.py "$drive_c/QTEMP" >/dev/null
mkdir -p "$work/linux"
cp -r "$drive_c/GC" "$drive_c/QTEMP" "$work/linux/"
# The teacher without an identity number: its row in the grid (stored
# order) and abbreviation.
read -r dni_row dni_abrev < <($py - "$drive_c/QTEMP" <<'PY'
import os, sys
from dbfread import DBF
folder = sys.argv[1]
name = next(n for n in os.listdir(folder) if n.lower() == "proft.dbf")
for i, r in enumerate(DBF(os.path.join(folder, name), encoding="cp1252")):
    if not r["DNI"]:
        print(i, r["ABREV"].strip())
        break
PY
)
typed_dni=73456789
import_ok=0
start_utility
probe wait "$main_title" 60 >/dev/null || import_ok=1
probe click "$main_title" 435 69 >/dev/null  # "Aceptar" of the import panel
# fill_cell WINDOW X Y TEXT SHOT SALIR_X SALIR_Y: a click on the cell at
# X,Y, the text, Enter; a screenshot; then "Salir".
fill_cell() {
  probe click "$1" "$2" "$3" >/dev/null
  probe type "$1" "$4"
  probe key "$1" RETURN
  sleep 1
  shot "$5" "$1" || true
  probe click "$1" "$6" "$7" >/dev/null
  sleep 1
}
saw_teachers=0 saw_periods=0 new_start="" end_time=""
for _ in $(seq 60); do
  kill -0 "$utility_pid" 2>/dev/null || break
  if probe wait "Control de Profesores" 0 >/dev/null; then
    # The teacher's D.N.I. cell: rows of 20 pixels under the titles, the
    # column at the right of the grid.
    [ "${dni_row:-99}" -lt 19 ] || fail 3 "the teacher without D.N.I. is not in the grid's first rows"
    fill_cell "Control de Profesores" 465 $((100 + 20 * ${dni_row:-0})) \
      "$typed_dni" windows_control_profesores 621 229
    saw_teachers=1
  elif probe wait "Control de Plantilla" 0 >/dev/null; then
    read -r start end_time < <($py - "$drive_c/QTEMP" <<'PY'
import glob, os, sys
from dbfread import DBF
path = [p for p in glob.glob(os.path.join(sys.argv[1], "*", "*"))
        if os.path.basename(p).lower() == "plantilla.dbf"][0]
r = next(iter(DBF(path, encoding="cp1252")))
print(r["HORAINI"].strip(), r["HORAFIN"].strip())
PY
)
    new_start=08:05
    [ "$start" = 08:05 ] && new_start=08:10
    # Period 1's start.
    fill_cell "Control de Plantilla" 270 101 "$new_start" \
      windows_control_plantilla 613 326
    saw_periods=1
  elif probe wait TransQuendraValencia 0 >/dev/null; then
    probe key TransQuendraValencia RETURN
    # The box after both control windows says the import finished.
    [ "$saw_periods" = 1 ] && { sleep 1; break; }
  else
    sleep 0.5
  fi
done
[ "$saw_teachers" = 1 ] && ok "the teacher window came; typed $typed_dni for $dni_abrev" ||
  { fail 3 "the teacher window did not come"; import_ok=1; }
[ "$saw_periods" = 1 ] && ok "the period window came; period 1 starts at $new_start" ||
  { fail 3 "the period window did not come"; import_ok=1; }
probe click "$main_title" 348 180 >/dev/null
ended "$utility_pid" 30 || { kill "$utility_pid" 2>/dev/null; fail 3 "the program did not end"; }
if [ "$import_ok" = 0 ]; then
  if [ ! -x "$linux_build/src/transquendra" ]; then
    cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$linux_build" --target transquendra -j "$(nproc)" >/dev/null
  "$linux_build/src/transquendra" import --drive-c "$work/linux" \
    --dni "$dni_abrev=$typed_dni" --period "1=$new_start-$end_time" \
    </dev/null >"$work/linux-import.log" 2>&1 ||
    fail 3 "the Linux import failed: $(tail -n 3 "$work/linux-import.log")"
  for table in horgrup horprof; do
    mkdir -p "$work/cmp/linux/$table" "$work/cmp/windows/$table"
    find "$work/linux/GC" -maxdepth 1 -iname "$table.*" -exec cp {} "$work/cmp/linux/$table/" \;
    find "$drive_c/GC" -maxdepth 1 -iname "$table.*" -exec cp {} "$work/cmp/windows/$table/" \;
    if [ -n "$(ls "$work/cmp/linux/$table")" ] &&
        $py scripts/lib/compare_tables.py "$work/cmp/linux/$table" \
          "$work/cmp/windows/$table" >"$work/cmp/$table.log" 2>&1; then
      ok "$table identical to the Linux build's"
    else
      fail 3 "$table differs: $(head -n 3 "$work/cmp/$table.log")"
    fi
  done
fi

# ---------------------------------------------------------------------------
echo "-- 4. help" >&2
cp -r tests/windows/help "$work/help"
if (cd "$work/help" && timeout 120 chmcmd ZELMAR.hhp >/dev/null 2>&1) &&
    cp "$work/help/ZELMAR.chm" "$quendrix/"; then
  help_title="Ayuda de prueba de ZELMAR"
  WINEDEBUG=-all,trace+htmlhelp start_utility
  probe wait "$main_title" 60 >/dev/null
  probe key "$main_title" F1 >/dev/null
  if probe wait "$help_title" 30 >/dev/null &&
      grep -a -q 'HtmlHelpW (.*ZELMAR.chm", command=HH_HELP_CONTEXT, data=1)' "$work/utility.err"; then
    ok "F1: HtmlHelpA with ZELMAR.chm, context 1; the help window opened"
  else
    fail 4 "F1 opened no help on context 1: $(grep -a -m 3 'HtmlHelp' "$work/utility.err")"
  fi
  shot windows_help "$help_title" || true
  probe close "$help_title" >/dev/null
  probe gone "$help_title" 20 >/dev/null
  probe click "$main_title" 347 208 >/dev/null  # "F1 AYUDA"
  if probe wait "$help_title" 30 >/dev/null &&
      grep -a -q 'HtmlHelpW (.*ZELMAR.chm", command=HH_DISPLAY_TOC' "$work/utility.err"; then
    ok "F1 AYUDA: the table of contents"
  else
    fail 4 "F1 AYUDA opened no table of contents"
  fi
  probe close "$help_title" >/dev/null
  probe click "$main_title" 348 180 >/dev/null
  ended "$utility_pid" 20 || kill "$utility_pid" 2>/dev/null
else
  fail 4 "chmcmd could not compile the test's ZELMAR.chm"
fi

# ---------------------------------------------------------------------------
echo "-- 1. (end) uninstall" >&2
timeout 60 "$wine" 'C:\Quendrix\Desinstalar.exe' /S >/dev/null 2>&1
for _ in $(seq 300); do
  [ -e "$quendrix/TransQuendraValencia.exe" ] || break
  sleep 0.1
done
[ ! -e "$quendrix/TransQuendraValencia.exe" ] && ok "the uninstaller removed the program" ||
  fail 1 "the uninstaller left TransQuendraValencia.exe"

echo "-- 5. screenshots" >&2
for name in windows_standalone windows_embedded windows_control_profesores \
    windows_control_plantilla; do
  png=$work/shots/$name.png
  # A real picture has many colours; an empty or black capture has few.
  if [ -s "$png" ] && [ "$(identify -format %k "$png")" -gt 16 ]; then
    ok "$name.png"
  else
    fail 5 "no screenshot $name.png"
  fi
done
if [ -n "$shots_out" ]; then
  mkdir -p "$shots_out"
  cp "$work/shots/"*.png "$shots_out/" 2>/dev/null || true
fi

summary
