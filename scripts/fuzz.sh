#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/, every library under
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs each one from its
# seed corpus for a short time.
#
#   scripts/fuzz.sh            20000 runs each (the test command's short run)
#   scripts/fuzz.sh 1000000    that many runs each
#   scripts/fuzz.sh 300s       that many seconds each
#   scripts/fuzz.sh 20000 go_live_fuzz   only the fuzzers named
#
# The committed corpora (tests/fuzz/<target>_corpus/, and tests/data/*.svg for
# the SVG reader) are copied to a temporary folder first, so a run never
# writes into them. A crash, leak, sanitizer report, broken invariant or
# input slower than 25 seconds is a finding: its input is saved under
# build-fuzz/findings/ and the script exits non-zero after running the rest.
# MORVELIN_FUZZ_SEED sets libFuzzer's random seed (1 by default, so that the
# short run is repeatable; 0 picks one).
# MORVELIN_FUZZ_SUMMARY names a file that gets "PASSED FAILED" (targets), for
# the test command; a target that does not build counts as failed.
set -euo pipefail
cd "$(dirname "$0")/.."

amount="${1:-20000}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(svg_import_fuzz bridge_geometry_fuzz go_live_fuzz); fi
case "$amount" in
  *s) limit=(-max_total_time="${amount%s}") ;;
  *[!0-9]* | "") echo "usage: scripts/fuzz.sh [RUNS | SECONDSs] [TARGET...]" >&2; exit 2 ;;
  *) limit=(-runs="$amount") ;;
esac

summary() { [ -z "${MORVELIN_FUZZ_SUMMARY:-}" ] || echo "$1 $2" >"$MORVELIN_FUZZ_SUMMARY"; }
summary 0 ${#targets[@]}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DMORVELIN_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="build-fuzz/findings"
mkdir -p "$findings"

failed=()
for target in "${targets[@]}"; do
  corpus="$work/$target"
  cp -r "tests/fuzz/${target}_corpus" "$corpus"
  if [ "$target" = svg_import_fuzz ]; then cp tests/data/*.svg "$corpus/"; fi
  options=("${limit[@]}" -seed="${MORVELIN_FUZZ_SEED:-1}" -timeout=25 -print_final_stats=1
           -artifact_prefix="$findings/$target-")
  if [ -f "tests/fuzz/${target%_fuzz}.dict" ]; then options+=(-dict="tests/fuzz/${target%_fuzz}.dict"); fi
  echo "== $target ${options[*]}"
  start=$SECONDS
  if "build-fuzz/tests/fuzz/$target" "${options[@]}" "$corpus" >"$work/$target.log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$target.log" || true
    echo "   no finding ($((SECONDS - start)) s)"
  else
    tail -n 40 "$work/$target.log"
    echo "   FINDING in $target; see $findings/" >&2
    failed+=("$target")
  fi
done

summary $((${#targets[@]} - ${#failed[@]})) ${#failed[@]}
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
