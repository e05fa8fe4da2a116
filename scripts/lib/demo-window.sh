#!/usr/bin/env bash
# For scripts/demo: prepares a sample administration folder on a drive C of
# its own and opens the transfer window on it when a display is present;
# without one it prints what the window would show.
#   scripts/lib/demo-window.sh BUILD_DIR [DRIVE_C]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
drive=${2:-$(mktemp -d)}
mkdir -p "$drive/GC"
/usr/bin/python3 "$root/tools/sample_school.py" --size small "$drive/GC" >&2
export TQV_DRIVE_C=$drive
echo "Unidad C: en $drive (carpeta de GC: C:\\GC)" >&2

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$drive"
  exec "$build/src/TransQuendraValencia"
fi

/usr/bin/python3 - "$drive/GC" <<'PY'
import sys, dbfread, os
gc = sys.argv[1]
name = next(f for f in os.listdir(gc) if f.lower() == "centro.dbf")
codes = [str(r.get("CODCEN", "")).strip()
         for r in dbfread.DBF(os.path.join(gc, name), encoding="cp1252")]
print('Ventana "Exportar e importar datos " (599 x 267), sin pantalla:')
print("  Carpeta en la que se encuentran los datos de GC: C:\\GC")
print("  Código del centro: " + (codes[0] if codes else "(vacío)") +
      "   lista: " + ", ".join(codes))
print("  Recoger Textos Asignaturas en: VALENCIÁ  (o CASTELLANO)")
print("  Botones: Aceptar (exportar), Aceptar (importar), Salir, F1 AYUDA")
print("  Al abrirse copia los once archivos de C:\\GC en C:\\QTEMP\\VALENCIA")
PY
