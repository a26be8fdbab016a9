#!/usr/bin/env bash
# Builds the browser playground and serves build-web/web/ on this machine
# only, from a plain static server.
#   scripts/playground.sh [PORT]    (port 8016 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh web
port=${1:-8016}
echo "Morvelin playground: http://127.0.0.1:$port/  (Ctrl-C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/web
