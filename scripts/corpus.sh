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
#   unpack-failed      a .svgz that gzip cannot unpack
# Exits 1 when any file is a crash, timeout, failure, refused-drawable,
# unchanged-differs, untouched-changed or unpack-failed, when a shard fails,
# or when the results do not cover every file found. Usage:
#   scripts/corpus.sh DIR... [-j JOBS] [--limit SECONDS] [--summary FILE]
# --summary writes "PASSED FAILED" (files) to FILE, for the test command.
# It needs build/tests/corpus_check (built when missing).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
limit=300
summary=
dirs=()
while [ $# -gt 0 ]; do
  case "$1" in
    -j) jobs=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    --summary) summary=$2; shift 2 ;;
    *) dirs+=("$1"); shift ;;
  esac
done
[ ${#dirs[@]} -gt 0 ] || { echo "usage: scripts/corpus.sh DIR... [-j JOBS] [--limit SECONDS] [--summary FILE]" >&2; exit 2; }
if [ ! -x "$root/build/tests/corpus_check" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$root/build" --target corpus_check -j "$jobs" >/dev/null || exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The list of files; .svgz unpacked into the work folder first.
find "${dirs[@]}" -type f \( -name '*.svg' -o -name '*.svgz' \) | sort >"$work/found" || exit 1
: >"$work/files"
: >"$work/unpack-failed"
n=0
while IFS= read -r file; do
  if [[ "$file" == *.svgz ]]; then
    n=$((n + 1))
    unpacked="$work/$n-$(basename "$file" .svgz).svgz.svg"
    if gzip -dc "$file" >"$unpacked" 2>/dev/null; then
      echo "$unpacked" >>"$work/files"
    else
      echo "unpack-failed $file" >>"$work/unpack-failed"
    fi
  else
    echo "$file" >>"$work/files"
  fi
done <"$work/found"

# Each shard runs in one process, which forks once per file for the tool.
pids=()
for ((shard = 0; shard < jobs; shard++)); do
  "$root/build/tests/corpus_check" run "$work" "$shard" "$jobs" "$limit" <"$work/files" >"$work/results-$shard" &
  pids+=($!)
done
shard_failed=0
for ((shard = 0; shard < jobs; shard++)); do
  if ! wait "${pids[$shard]}"; then
    echo "corpus: shard $shard of $jobs failed" >&2
    shard_failed=1
  fi
done
cat "$work"/results-* "$work/unpack-failed" >"$work/results"

count() { grep -c "^$1 " "$work/results"; }
found=$(wc -l <"$work/found")
total=$(wc -l <"$work/results")
echo "files: $total"
for verdict in crash timeout failure refusal refused-drawable unchanged-differs untouched-changed unpack-failed; do
  echo "$verdict: $(count "$verdict")"
done
grep -vE '^(ok|refusal) ' "$work/results" | sort
grep -E '^refusal ' "$work/results" | sort
bad=$(grep -cvE '^(ok|refusal) ' "$work/results")
# Files the shards never answered for (or answered for twice), and a failed
# shard, count as failures too.
unanswered=$((found > total ? found - total : total - found))
if [ "$total" -ne "$found" ]; then
  echo "corpus: $found files found, but $total results" >&2
fi
if [ -n "$summary" ]; then
  echo "$((total - bad)) $((bad + unanswered + shard_failed))" >"$summary"
fi
[ "$bad" -eq 0 ] && [ "$total" -eq "$found" ] && [ "$shard_failed" -eq 0 ]
