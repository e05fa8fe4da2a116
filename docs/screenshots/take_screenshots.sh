#!/usr/bin/env bash
# Takes the transfer window's screenshots under Xvfb: stand-alone, and
# embedded in a plain host window with each panel choice.
#   docs/screenshots/take_screenshots.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
app=$build/src/TransQuendraValencia
[ -x "$app" ] || { echo "falta $app" >&2; exit 1; }

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
/usr/bin/python3 "$root/tools/sample_school.py" --size small "$work/c/GC" >/dev/null
export TQV_DRIVE_C=$work/c QT_QPA_PLATFORM=xcb

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")

# A host window of 700 by 300, as the timetabling program would offer.
host_window() {
  /usr/bin/python3 - "$work/host" <<'PY' &
import ctypes, sys, time
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XFlush.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
w = x.XCreateSimpleWindow(d, x.XDefaultRootWindow(d), 0, 0, 603, 271, 0, 0, 0x808080)
x.XMapWindow(d, w)
x.XFlush(d)
open(sys.argv[1], "w").write("%x\n" % w)
time.sleep(60)
PY
  for _ in $(seq 50); do [ -s "$work/host" ] && break; sleep 0.1; done
}

cd "$work"
"$app" & pid=$!
sleep 3
id=$(xdotool search --name "Exportar e importar datos" | head -1)
import -window "$id" "$here/standalone.png"
kill $pid; wait $pid 2>/dev/null || true

for panel in exportar importar otra; do
  rm -f "$work/host"
  host_window
  host=$(cat "$work/host")
  "$app" "$panel" "$host" & pid=$!
  sleep 3
  import -window "0x$host" "$here/embedded_$panel.png"
  kill $pid; wait $pid 2>/dev/null || true
  kill %?python3 2>/dev/null || true
done
echo "capturas en $here" >&2
