#!/usr/bin/env bash
# The main job: installs what the build stage lacks, builds the morvelin tool
# alone and runs the effect on the built-in sample drawing, written to
# morvelin-out.svg and morvelin-out.png at the repository's root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
bash scripts/build.sh tool
./build/morvelin apply -o morvelin-out.svg --png morvelin-out.png
