#!/usr/bin/env bash
# Times `morvelin apply --no-unite` on the benchmark's grid of circles, whole
# process (wall clock, CPU time of user and system, and peak resident memory
# from /usr/bin/time -v), one run per size, and prints one table row per size.
# With --unite it also times `apply` with the unite, best of three runs of
# each below 500 circles and one run above, and prints the unite's share:
# apply's time ÷ that of apply --no-unite, and the difference (what the unite
# takes in the whole process).
# On a machine shared with other jobs the CPU time is the steadier figure.
#   scripts/measure-scale.sh [--unite] [BUILD_DIR] [COUNT...]   (default: build 100 300 600 1000)
# Build BUILD_DIR first, preferably Release:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target morvelin
set -euo pipefail
cd "$(dirname "$0")/.."
unite=0
if [ "${1:-}" = --unite ]; then unite=1; shift; fi
build=${1:-build}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(100 300 600 1000)
[ -x /usr/bin/time ] || { echo "measure-scale.sh: /usr/bin/time is missing (Debian package 'time')" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs `morvelin apply ARGS` on the grid RUNS times; writes the fastest run's
# /usr/bin/time report to $work/FILE.
timed() {
  local file=$1 runs=$2 best=
  shift 2
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -v -o "$work/run.txt" "$build/morvelin" apply "$work/grid.svg" "$@" -o "$work/out.svg" \
      > "$work/stdout.txt" 2> "$work/stderr.txt" || { echo "morvelin failed on $n circles:" >&2; cat "$work/stderr.txt" >&2; exit 1; }
    local wall
    wall=$(python3 -c 'import re,sys; w=re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", open(sys.argv[1]).read()).group(1); s=0.0
for p in w.split(":"): s=s*60+float(p)
print(s)' "$work/run.txt")
    if [ -z "$best" ] || python3 -c "import sys; sys.exit(0 if $wall < $best else 1)"; then
      best=$wall
      cp "$work/run.txt" "$work/$file"
    fi
  done
}

if [ "$unite" = 1 ]; then
  printf '| circles | objects | apply --no-unite | apply | ratio | the unite (difference) | CPU: --no-unite / apply | peak memory: --no-unite / apply |\n'
  printf '|---|---|---|---|---|---|---|---|\n'
else
  printf '| circles | bridges | apply --no-unite, whole process | per bridge | CPU (user+sys) | peak memory |\n'
  printf '|---|---|---|---|---|---|\n'
fi
for n in "${counts[@]}"; do
  python3 scripts/grid-drawing.py "$n" > "$work/grid.svg"
  runs=1
  [ "$unite" = 1 ] && [ "$n" -lt 500 ] && runs=3
  timed plain.txt "$runs" --no-unite
  [ "$unite" = 1 ] && timed united.txt "$runs"
  python3 - "$n" "$unite" "$work/plain.txt" "$work/united.txt" <<'PY'
import re, sys
n, unite = int(sys.argv[1]), sys.argv[2] == "1"


def measures(path):
    text = open(path).read()
    wall = re.search(r'Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)', text).group(1)
    seconds = 0.0
    for part in wall.split(':'):
        seconds = seconds * 60 + float(part)
    cpu = float(re.search(r'User time \(seconds\): (\S+)', text).group(1)) + \
        float(re.search(r'System time \(seconds\): (\S+)', text).group(1))
    peak_kb = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', text).group(1))
    return seconds, cpu, round(peak_kb / 1024)


bridges = n * (n - 1) // 2
seconds, cpu, peak = measures(sys.argv[3])
if not unite:
    print('| %d | %s | %.2f s | %.1f µs | %.2f s | %d MB |' %
          (n, format(bridges, ','), seconds, seconds / bridges * 1e6, cpu, peak))
else:
    united, united_cpu, united_peak = measures(sys.argv[4])
    print('| %d | %s | %.2f s | %.2f s | %.2f | %.2f s | %.2f s / %.2f s | %d MB / %d MB |' %
          (n, format(bridges + n, ','), seconds, united, united / seconds, united - seconds, cpu, united_cpu,
           peak, united_peak))
PY
done
