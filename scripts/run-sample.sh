#!/usr/bin/env bash
# Installs what is missing, builds the morvelin tool and runs the main job on
# the built-in example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh native
./build/morvelin bridge 0 0 10 30 0 10
