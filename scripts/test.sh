#!/usr/bin/env bash
# Installs what is missing, builds every flavour and runs every test: the
# cross build of Morvelin.aip (its 32-bit layout checks run as it compiles),
# the native suite with the DLL checks, the shipped DLL driven by the Win32
# stand-in host under wine against the native build, the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, the browser playground in
# headless Chromium, then short libFuzzer runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== cross build (32-bit Windows)"
bash scripts/build.sh win

echo "== native build and tests"
bash scripts/build.sh native
MORVELIN_REQUIRE_DLL=1 ctest --test-dir build --output-on-failure -j "$(nproc)" | tee build/ctest.log

echo "== the kept public drawings through scripts/corpus.sh"
bash scripts/corpus.sh tests/data/corpus

echo "== the shipped DLL under wine: differential test and fault sweep"
# wine directly, or under qemu-i386 where this kernel runs no 32-bit programs
# (MORVELIN_WINE_ROUTE=native|qemu forces a route); a new prefix each run.
bash scripts/wine-run.sh build-win/wine-prefix bash tests/wine/differential.sh

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
bash scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir build-asan --output-on-failure -j "$(nproc)" | tee build-asan/ctest.log

echo "== browser playground: WebAssembly build, tests in headless Chromium"
bash scripts/build.sh web
bash scripts/web-test.sh

echo "== short fuzz runs (libFuzzer, clang)"
bash scripts/fuzz.sh

# One closing line for both ctest runs: "N passed, N failed".
total=0
failed=0
for log in build/ctest.log build-asan/ctest.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  total=$((total + $(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")))
done
# The differential test counts the files it compared.
read -r diff_passed diff_failed <build/wine-diff/summary
total=$((total + diff_passed + diff_failed))
failed=$((failed + diff_failed))
echo "tests: $((total - failed)) passed, $failed failed"
