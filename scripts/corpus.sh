#!/usr/bin/env bash
# Runs every SVG under the given folders (.svg, and .svgz unpacked first)
# through `morvelin apply` (the same code, in one forked process a file) and
# counts, printing each offending file:
#   crash              the tool died of a signal
#   timeout            it ran past the time limit (300 s by default)
#   failure            any exit code but 0 and 2
#   refusal            exit code 2 (XML not well formed, no SVG root)
#   refused-drawable   exit code 2 for a file librsvg draws all the same
#   unchanged-differs  the summary says "unchanged", yet input and output
#                      drawn by librsvg at 200 x 200 px on white differ by a
#                      mean absolute channel difference over 1/255
#   untouched-changed  the effect made bridges, and an element it did not
#                      touch is not in the output as it was in the input
# Exits 1 when any file is a crash, timeout, failure, refused-drawable,
# unchanged-differs or untouched-changed. Usage:
#   scripts/corpus.sh DIR... [-j JOBS] [--limit SECONDS]
# It needs build/tests/corpus_check (built when missing).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
limit=300
dirs=()
while [ $# -gt 0 ]; do
  case "$1" in
    -j) jobs=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    *) dirs+=("$1"); shift ;;
  esac
done
[ ${#dirs[@]} -gt 0 ] || { echo "usage: scripts/corpus.sh DIR... [-j JOBS] [--limit SECONDS]" >&2; exit 2; }
if [ ! -x "$root/build/tests/corpus_check" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$root/build" --target corpus_check -j "$jobs" >/dev/null || exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The list of files; .svgz unpacked into the work folder first.
find "${dirs[@]}" -type f \( -name '*.svg' -o -name '*.svgz' \) | sort >"$work/found"
: >"$work/files"
n=0
while IFS= read -r file; do
  if [[ "$file" == *.svgz ]]; then
    n=$((n + 1))
    unpacked="$work/$n-$(basename "$file" .svgz).svgz.svg"
    gzip -dc "$file" >"$unpacked" 2>/dev/null && echo "$unpacked" >>"$work/files"
  else
    echo "$file" >>"$work/files"
  fi
done <"$work/found"

# Each shard runs in one process, which forks once per file for the tool.
for ((shard = 0; shard < jobs; shard++)); do
  "$root/build/tests/corpus_check" run "$work" "$shard" "$jobs" "$limit" <"$work/files" >"$work/results-$shard" &
done
wait
cat "$work"/results-* >"$work/results"

count() { grep -c "^$1 " "$work/results"; }
total=$(wc -l <"$work/results")
echo "files: $total"
for verdict in crash timeout failure refusal refused-drawable unchanged-differs untouched-changed; do
  echo "$verdict: $(count "$verdict")"
done
grep -vE '^(ok|refusal) ' "$work/results" | sort
grep -E '^refusal ' "$work/results" | sort
bad=$(grep -cE '^(crash|timeout|failure|refused-drawable|unchanged-differs|untouched-changed) ' "$work/results")
[ "$bad" -eq 0 ]
