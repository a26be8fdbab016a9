#!/usr/bin/env bash
# Installs what is missing, builds the morvelin tool and runs the main job:
# the effect on the built-in sample drawing, written to morvelin-out.svg and
# morvelin-out.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native
./build/morvelin apply -o morvelin-out.svg --png morvelin-out.png
