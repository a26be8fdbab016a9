#!/usr/bin/env bash
# Runs every test, each stage after installing just what it needs:
#   cross      the cross build of Morvelin.aip (its 32-bit layout checks run as
#              it compiles) and morvelin.exe
#   native     the native build and its ctest suite, the DLL checks among them
#   inkscape   the Inkscape extension inside the real Inkscape
#   corpus     the kept public drawings through scripts/corpus.sh
#   wine       the shipped DLL under wine against the native build, file by file
#   asan       the ctest suite again under AddressSanitizer + UBSan
#   web        the browser playground in headless Chromium
#   release    scripts/release.sh (reusing build-win/ and build-web/) and the
#              checks of what it put in dist/ (tests/release/check_dist.py)
#   fuzz       short libFuzzer runs, one check per target
#   scripts/test.sh [STAGE...] runs only the stages named, in this order.
# A stage that fails does not end the run: every stage runs, and the last
# line counts every check of every stage,
#   tests: N passed, N failed, N skipped
# with a ctest test that skipped itself counted as skipped. A stage whose
# packages cannot be had because the package index itself is broken is
# skipped (one check) with install-deps' line saying why; any other failure to
# set a stage up is a failure. Exits 1 when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
selected=" $* "
for stage in "$@"; do
  case "$stage" in
    cross | native | inkscape | corpus | wine | asan | web | release | fuzz) ;;
    *) echo "usage: scripts/test.sh [cross|native|inkscape|corpus|wine|asan|web|release|fuzz]..." >&2; exit 2 ;;
  esac
done
results=build/test-results
rm -rf "$results"
mkdir -p "$results"
MORVELIN_APT_STAMP=$(mktemp)
export MORVELIN_APT_STAMP
trap 'rm -f "$MORVELIN_APT_STAMP"' EXIT

passed=0
failed=0
skipped=0
report=()
declare -A outcome

# ctest's JUnit file -> "PASSED FAILED SKIPPED" on standard output.
junit_counts() {
  local file=$1
  [ -s "$file" ] || return 1
  local run fail notrun
  run=$(grep -c '<testcase [^>]*status="run"' "$file")
  fail=$(grep -c '<testcase [^>]*status="fail"' "$file")
  notrun=$(grep -cE '<testcase [^>]*status="(notrun|disabled)"' "$file")
  echo "$run $fail $notrun"
}

# run_stage NAME "INSTALL-STAGES" FUNCTION: the function gets the file to
# write "PASSED FAILED [SKIPPED]" to; a stage that fails without counting a
# failure counts as one.
run_stage() {
  local name=$1 needs=$2 body=$3
  local summary="$results/$name.counts"
  local p=0 f=0 s=0 rc
  [ "$selected" = "  " ] || [[ "$selected" == *" $name "* ]] || return 0
  echo
  echo "== $name"
  if [ -n "$needs" ]; then
    # shellcheck disable=SC2086
    bash scripts/install-deps.sh $needs
    rc=$?
    if [ "$rc" -eq 3 ]; then
      echo "test: stage $name skipped: the package index is broken, so its packages cannot be had (install-deps said which, above)"
      outcome[$name]=skipped
      skipped=$((skipped + 1))
      report+=("$name: skipped (package index broken)")
      return
    elif [ "$rc" -ne 0 ]; then
      echo "test: stage $name failed: its packages could not be installed"
      outcome[$name]=failed
      failed=$((failed + 1))
      report+=("$name: failed to set up")
      return
    fi
  fi
  "$body" "$summary"
  rc=$?
  if [ -s "$summary" ]; then read -r p f s <"$summary"; fi
  s=${s:-0}
  if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
  skipped=$((skipped + s))
  if [ "$f" -gt 0 ]; then outcome[$name]=failed; else outcome[$name]=ok; fi
  report+=("$name: $p passed, $f failed, $s skipped$([ "$rc" -ne 0 ] && echo " (exit $rc)")")
}

cross() {
  bash scripts/build.sh win
}

# run_ctest NAME COUNTS CTEST-ARGS...: one ctest run, its log and JUnit file
# in the results folder, the log's tail shown, the counts written to COUNTS.
# The DLL checks need the cross build; without it they skip themselves.
run_ctest() {
  local name=$1 counts=$2
  shift 2
  local require=0
  [ "${outcome[cross]:-}" = ok ] && require=1
  MORVELIN_REQUIRE_DLL=$require ctest --output-on-failure -j "$(nproc)" \
    --output-junit "$PWD/$results/$name.xml" "$@" >"$results/$name.log" 2>&1
  local rc=$?
  tail -n 25 "$results/$name.log"
  junit_counts "$results/$name.xml" >"$counts"
  return $rc
}

native() {
  bash scripts/build.sh native || return 1
  run_ctest native "$1" --test-dir build -E '^inkscape_extension_test$'
}

inkscape_test() {
  run_ctest inkscape "$1" --test-dir build -R '^inkscape_extension_test$'
}

corpus() {
  bash scripts/corpus.sh tests/data/corpus --summary "$1"
}

wine_differential() {
  # wine directly, or under qemu-i386 where this kernel runs no 32-bit programs
  # (MORVELIN_WINE_ROUTE=native|qemu forces a route); a new prefix each run.
  rm -f build/wine-diff/summary
  bash scripts/wine-run.sh build-win/wine-prefix bash tests/wine/differential.sh
  local rc=$?
  [ -s build/wine-diff/summary ] && cp build/wine-diff/summary "$1"
  return $rc
}

asan() {
  bash scripts/build.sh asan || return 1
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" run_ctest asan "$1" --test-dir build-asan
}

web() {
  rm -f build-web/browser-test/summary
  bash scripts/build.sh web && bash scripts/web-test.sh
  local rc=$?
  [ -s build-web/browser-test/summary ] && cp build-web/browser-test/summary "$1"
  return $rc
}

# The release, built once: its .deb from a Release tool build of its own
# (build-release/), its zip and archive from the cross and web stages' builds.
release() {
  bash scripts/release.sh >"$results/release.log" 2>&1 || { tail -n 25 "$results/release.log"; return 1; }
  /usr/bin/python3 tests/release/check_dist.py dist "$1"
}

fuzz() {
  MORVELIN_FUZZ_SUMMARY="$1" bash scripts/fuzz.sh
}

run_stage cross "win" cross
run_stage native "build test" native
run_stage inkscape "build test inkscape" inkscape_test
run_stage corpus "build test corpus" corpus
run_stage wine "wine" wine_differential
run_stage asan "build test" asan
run_stage web "build web" web
run_stage release "build win web release" release
run_stage fuzz "build fuzz" fuzz

echo
echo "== summary"
printf '  %s\n' "${report[@]}"
echo "tests: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
