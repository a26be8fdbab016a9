#!/usr/bin/env bash
# Runs the playground's browser tests: the page in build-web/web/ (from
# `scripts/build.sh web`) in Debian's Chromium, headless, against the native
# tool build/morvelin (from `scripts/build.sh native`). The driver,
# puppeteer-core, comes pinned from npm and never downloads a browser.
# Screenshots of each step and the go-live timing go to build-web/browser-test/.
set -euo pipefail
cd "$(dirname "$0")/.."
export PUPPETEER_SKIP_DOWNLOAD=1
(cd tests/web && npm ci --no-audit --no-fund --silent)
node tests/web/playground_test.mjs build-web/web build/morvelin build-web/browser-test
