#!/usr/bin/env bash
# Whether the plug-in's acos, cos and sin give the same results everywhere:
#   scripts/math-check.sh sample [STRIDE] [record]   every STRIDE-th float bit pattern (default 4099)
#   scripts/math-check.sh exhaustive        every float (all 2^32 patterns; acos on [-1, 1])
# Compares, result rounded to a float as the plug-in rounds it:
#   1. the plug-in's own maths (blend/portable_trig.h) against glibc, natively;
#   2. (sample) the same functions in the Win32 build under wine against the
#      native build, and with `record` also the platform maths the DLL would
#      otherwise use (msvcrt's acos, mingw-w64's cos and sin) against glibc.
# The wine part runs inside scripts/wine-run.sh (call this script through it,
# or let it call itself). Needs `scripts/build.sh native` and `win`. Prints the
# counts; exits 1 when the plug-in's maths differ anywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-sample}
out=build/math-check
native=build/tests/math_check
win=build-win/math_check.exe
[ -x "$native" ] || { echo "math-check: $native is missing (scripts/build.sh native)" >&2; exit 1; }
mkdir -p "$out"

case "$mode" in
  sample)
    # The wine part needs the runner's environment: come back through it.
    if [ -z "${WINEPREFIX:-}" ]; then exec bash scripts/wine-run.sh build-win/wine-math bash "$0" "$@"; fi
    stride=${2:-4099}
    count=$(((4294967296 + stride - 1) / stride))
    "$native" "$out/own.bin" 0 "$count" "$stride"
    "$native" "$out/glibc.bin" 0 "$count" "$stride" --libm
    status=0
    echo "math-check: the plug-in's maths against glibc, every ${stride}th float:"
    /usr/bin/python3 tests/wine/math_compare.py "$out/glibc.bin" "$out/own.bin" 0 "$stride" || status=1
    [ -f "$win" ] || { echo "math-check: $win is missing (scripts/build.sh win)" >&2; exit 1; }
    wine "$win" "$out/own-win.bin" 0 "$count" "$stride" >"$out/wine.log" 2>&1
    echo "math-check: the plug-in's maths in the DLL's build under wine against the native build:"
    /usr/bin/python3 tests/wine/math_compare.py "$out/own.bin" "$out/own-win.bin" 0 "$stride" || status=1
    if [ "${3:-}" = record ]; then
      wine "$win" "$out/msvcrt.bin" 0 "$count" "$stride" --libm >"$out/wine-libm.log" 2>&1
      echo "math-check: for the record, the platform maths of the Win32 build (msvcrt acos, mingw-w64 cos and sin) under wine against glibc:"
      /usr/bin/python3 tests/wine/math_compare.py "$out/glibc.bin" "$out/msvcrt.bin" 0 "$stride" || true
    fi
    exit "$status"
    ;;
  exhaustive)
    # Digests of 2^20 arguments each, both runs at once; then the blocks that
    # differ again in full.
    start=$(date +%s)
    "$native" "$out/own.digest" 0 4294967296 1 --digest &
    own=$!
    "$native" "$out/glibc.digest" 0 4294967296 1 --digest --libm
    wait "$own"
    echo "math-check: every float done in $(($(date +%s) - start)) s"
    /usr/bin/python3 - "$out" "$native" <<'PY'
import subprocess, sys
import numpy as np
out, native = sys.argv[1], sys.argv[2]
own = np.fromfile(f"{out}/own.digest", dtype="<u8")
glibc = np.fromfile(f"{out}/glibc.digest", dtype="<u8")
blocks = np.nonzero(own != glibc)[0]
print(f"math-check: {own.size} blocks of 2^20 floats, {blocks.size} differ")
status = 0
for block in blocks:
    first = int(block) << 20
    subprocess.run([native, f"{out}/b-own.bin", str(first), str(1 << 20), "1"], check=True)
    subprocess.run([native, f"{out}/b-glibc.bin", str(first), str(1 << 20), "1", "--libm"], check=True)
    r = subprocess.run([sys.executable, "tests/wine/math_compare.py", f"{out}/b-glibc.bin", f"{out}/b-own.bin",
                        str(first), "1"])
    status |= r.returncode
sys.exit(status)
PY
    ;;
  *) echo "usage: scripts/math-check.sh sample [STRIDE] | exhaustive" >&2; exit 2 ;;
esac
