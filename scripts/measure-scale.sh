#!/usr/bin/env bash
# Times `morvelin apply --no-unite` on the benchmark's grid of circles, whole
# process (wall clock, CPU time of user and system, and peak resident memory
# from /usr/bin/time -v), one run per size, and prints one table row per size.
# On a machine shared with other jobs the CPU time is the steadier figure.
#   scripts/measure-scale.sh [BUILD_DIR] [COUNT...]   (default: build 100 300 600 1000)
# Build BUILD_DIR first, preferably Release:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target morvelin
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(100 300 600 1000)
[ -x /usr/bin/time ] || { echo "measure-scale.sh: /usr/bin/time is missing (Debian package 'time')" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '| circles | bridges | apply --no-unite, whole process | per bridge | CPU (user+sys) | peak memory |\n'
printf '|---|---|---|---|---|---|\n'
for n in "${counts[@]}"; do
  python3 scripts/grid-drawing.py "$n" > "$work/grid.svg"
  /usr/bin/time -v -o "$work/time.txt" "$build/morvelin" apply "$work/grid.svg" --no-unite -o "$work/out.svg" \
    > "$work/stdout.txt" 2> "$work/stderr.txt" || { echo "morvelin failed on $n circles:" >&2; cat "$work/stderr.txt" >&2; exit 1; }
  python3 - "$n" "$work/time.txt" <<'PY'
import re, sys
n = int(sys.argv[1])
text = open(sys.argv[2]).read()
wall = re.search(r'Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)', text).group(1)
seconds = 0.0
for part in wall.split(':'):
    seconds = seconds * 60 + float(part)
cpu = float(re.search(r'User time \(seconds\): (\S+)', text).group(1)) + \
    float(re.search(r'System time \(seconds\): (\S+)', text).group(1))
peak_kb = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', text).group(1))
bridges = n * (n - 1) // 2
print('| %d | %s | %.2f s | %.1f µs | %.2f s | %d MB |' %
      (n, format(bridges, ','), seconds, seconds / bridges * 1e6, cpu, round(peak_kb / 1024)))
PY
done
