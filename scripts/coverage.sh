#!/usr/bin/env bash
# Line and branch coverage of the plug-in (plugin/, menus/, blend/, params/)
# by the native test suite.
#
#   scripts/coverage.sh          summary per folder and in total
#   scripts/coverage.sh --list   also every line and branch the tests miss
#
# Builds the suite in build-cov/ with -DMORVELIN_COVERAGE=ON (the plug-in
# library is compiled with --coverage at -O0), clears old counts, runs every
# test, and reads the counts with gcovr. Branches that only exist for thrown
# exceptions and branches the compiler marks unreachable are left out of the
# branch figures. The HTML report lands in build-cov/coverage/index.html.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-cov -DCMAKE_BUILD_TYPE=Debug -DMORVELIN_COVERAGE=ON >/dev/null
# Counts of an older build would clash with the new objects (the build runs
# the tests once to list them), and the tests below must start from zero.
find build-cov -name '*.gcda' -delete
cmake --build build-cov -j "$(nproc)"
find build-cov -name '*.gcda' -delete
ctest --test-dir build-cov -j "$(nproc)" --output-on-failure >build-cov/ctest.log 2>&1 || {
  tail -n 40 build-cov/ctest.log
  echo "tests failed; coverage below counts what ran" >&2
}

mkdir -p build-cov/coverage
gcovr --root . --object-directory build-cov \
  --filter 'plugin/' --filter 'menus/' --filter 'blend/' --filter 'params/' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --json build-cov/coverage/coverage.json \
  --html-details build-cov/coverage/index.html >/dev/null

python3 - build-cov/coverage/coverage.json "${1:-}" <<'PY'
import json
import sys
from collections import defaultdict

report = json.load(open(sys.argv[1]))
listing = sys.argv[2] == "--list"
folders = defaultdict(lambda: [0, 0, 0, 0])  # lines hit, lines, branches taken, branches
missed = []
for entry in sorted(report["files"], key=lambda f: f["file"]):
    name = entry["file"]
    folder = name.split("/")[0]
    for line in entry["lines"]:
        if line.get("gcovr/noncode"):
            continue
        counts = folders[folder]
        counts[1] += 1
        if line["count"] > 0:
            counts[0] += 1
        else:
            missed.append(f"{name}:{line['line_number']}: line not run")
        for index, branch in enumerate(line["branches"]):
            counts[3] += 1
            if branch["count"] > 0:
                counts[2] += 1
            elif line["count"] > 0:
                missed.append(f"{name}:{line['line_number']}: branch {index} not taken")


def percent(part, whole):
    return f"{100.0 * part / whole:6.2f}%" if whole else "     -"


print(f"{'folder':<10} {'lines':>16} {'':>7} {'branches':>16} {'':>7}")
total = [0, 0, 0, 0]
for folder in ("plugin", "menus", "blend", "params"):
    c = folders[folder]
    total = [t + x for t, x in zip(total, c)]
    print(f"{folder + '/':<10} {c[0]:>7} / {c[1]:<6} {percent(c[0], c[1])} {c[2]:>7} / {c[3]:<6} {percent(c[2], c[3])}")
c = total
print(f"{'total':<10} {c[0]:>7} / {c[1]:<6} {percent(c[0], c[1])} {c[2]:>7} / {c[3]:<6} {percent(c[2], c[3])}")
if listing:
    print("\n".join(missed))
PY
