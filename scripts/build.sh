#!/usr/bin/env bash
# Configures and builds one flavour of the project.
#   scripts/build.sh native   -> build/       (tests, the morvelin tool, benchmarks)
#   scripts/build.sh tool     -> build/morvelin only (what the sample run needs)
#   scripts/build.sh asan     -> build-asan/  (the same under AddressSanitizer + UBSan)
#   scripts/build.sh win      -> build-win/   (Morvelin.aip, the 32-bit Windows plug-in, and
#                                             morvelin.exe, the stand-in host that loads it)
#   scripts/build.sh web      -> build-web/web/ (the browser playground: index.html, its script, the .wasm)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
case "${1:-native}" in
  native) cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build -j "$jobs" ;;
  tool) log=$(mktemp)
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
        sed -n 's/^-- \(.* left out: .*\)/\1/p' "$log"
        rm -f "$log"
        cmake --build build --target morvelin -j "$jobs" ;;
  asan) cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMORVELIN_SANITIZE=ON >/dev/null &&
        cmake --build build-asan -j "$jobs" ;;
  win) bash scripts/win-deps.sh build-win/deps &&
       cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release \
         -DMORVELIN_WIN_DEPS="$PWD/build-win/deps" >/dev/null &&
       cmake --build build-win -j "$jobs" ;;
  web) bash scripts/web-sources.sh "$PWD/build-web/debian-src" &&
       NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
         -DMORVELIN_WEB_SOURCES="$PWD/build-web/debian-src" >/dev/null &&
       NODE_PATH=/usr/share/nodejs cmake --build build-web -j "$jobs" ;;
  *) echo "usage: scripts/build.sh native|tool|asan|win|web" >&2; exit 2 ;;
esac
