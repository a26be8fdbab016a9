#!/usr/bin/env bash
# Installs what is missing, builds every flavour and runs every test: the
# cross build of Morvelin.aip (its 32-bit layout checks run as it compiles),
# the native suite with the DLL checks, and the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, then short libFuzzer runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== cross build (32-bit Windows)"
bash scripts/build.sh win

echo "== native build and tests"
bash scripts/build.sh native
MORVELIN_REQUIRE_DLL=1 ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
bash scripts/build.sh asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

echo "== short fuzz runs (libFuzzer, clang)"
bash scripts/fuzz.sh
