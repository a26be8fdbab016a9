#!/usr/bin/env bash
# The differential test: every scenario through the native build (plug-in
# linked in) and through build-win/morvelin_scenarios.exe and morvelin.exe,
# which drive the shipped build-win/Morvelin.aip under wine; every file they
# write must be identical byte for byte. Run it through the wine runner:
#   bash scripts/wine-run.sh build-win/wine-prefix bash tests/wine/differential.sh
# Expects `scripts/build.sh native` and `scripts/build.sh win` done. Writes
# build/wine-diff/{native,wine}/ and build/wine-diff/summary ("PASSED FAILED").
set -euo pipefail
cd "$(dirname "$0")/../.."
# wine turns the command line into Windows' wide characters by the locale's
# charset: UTF-8, as the file names below are written.
export LC_ALL=C.UTF-8
out=build/wine-diff
rm -rf "$out"
mkdir -p "$out/native" "$out/wine"
drawings=(tests/data/*.svg)

for program in build/tests/morvelin_scenarios build/morvelin build-win/morvelin_scenarios.exe build-win/morvelin.exe \
               build-win/Morvelin.aip; do
  [ -f "$program" ] || { echo "differential: $program is missing (scripts/build.sh native and win)" >&2; exit 1; }
done

# Drawings named outside any one ANSI code page, for the command lines below:
# the Win32 build takes its arguments, and the paths in them, in UTF-8.
mkdir -p "$out/input"
cp tests/data/inkscape/circles.svg "$out/input/κύκλοι.svg"

# The tool's own command lines, run by both builds in their output folder:
# "NAME|ARGS", words split at blanks, "~" a blank inside a word, "@ROOT@" the
# checkout's absolute path (a drawing named by a path that starts with "/"
# must not be taken for a Windows-style "/option").
cli_runs=(
  "apply-sample-no-unite|apply --no-unite -o apply-sample-no-unite.svg"
  "apply-sample-united|apply --viscosity 37.5 -o apply-sample-united.svg"
)
for drawing in "${drawings[@]}"; do
  name=$(basename "$drawing" .svg)
  cli_runs+=("apply-$name-no-unite|apply ../../../$drawing --no-unite -o apply-$name-no-unite.svg")
done
cli_runs+=("apply-absolute-path|apply @ROOT@/${drawings[0]} --no-unite -o apply-absolute-path.svg")
cli_runs+=("edit-sample|edit --stored 30 --actions drag~80;~untick;~drag~60;~tick;~ok -o edit-sample.svg")
cli_runs+=("apply-unicode-names|apply ../input/κύκλοι.svg --no-unite -o έξοδος.svg")
cli_runs+=("inkscape-unicode-name|inkscape --id=c1 --id=c2 --viscosity=50 ../input/κύκλοι.svg")

# The inkscape command on the Inkscape extension's documents, as its test runs
# them (tests/data/inkscape/runs.txt): the document printed on standard output
# (compared as written, byte for byte), the message and the exit code. A
# document "@NAME" is what the same build printed for run NAME.
run_inkscape() {  # folder, program prefix...
  local folder=$1
  shift
  local name code document viscosity ids args id
  while read -r name code document viscosity ids; do
    case "$name" in '#'* | '') continue ;; esac
    if [[ "$document" == @* ]]; then
      document="$folder/inkscape-${document#@}.svg"
    else
      document=tests/data/inkscape/$document
    fi
    args=()
    for id in $ids; do args+=("--id=$id"); done
    local status=0
    "$@" inkscape "${args[@]}" "--viscosity=$viscosity" "$document" \
      >"$folder/inkscape-$name.svg" 2>"$folder/inkscape-$name.err" || status=$?
    echo "$status" >"$folder/inkscape-$name.code"
    [ "$status" -eq "$code" ] || echo "exit $status, not $code" >>"$folder/inkscape-$name.err"
  done <tests/data/inkscape/runs.txt
}

run_cli() {  # folder, program prefix...
  local folder=$1
  shift
  local entry name w words
  for entry in "${cli_runs[@]}"; do
    name=${entry%%|*}
    words=()
    for w in ${entry#*|}; do
      w=${w//\~/ }
      words+=("${w//@ROOT@/$PWD}")
    done
    (cd "$folder" && "$@" "${words[@]}" >"$name.out" 2>"$name.err") || echo "exit $?" >>"$folder/$name.err"
  done
}

start=$(date +%s)
build/tests/morvelin_scenarios "$out/native" --sweep "${drawings[@]}" >"$out/native/scenarios.out" 2>&1 ||
  echo "exit $?" >>"$out/native/scenarios.out"
run_cli "$out/native" "$PWD/build/morvelin"
run_inkscape "$out/native" build/morvelin

# One wine process for every scenario and the fault sweep, one per command
# line; wine's output goes to files only.
wine build-win/morvelin_scenarios.exe "$out/wine" --sweep "${drawings[@]}" >"$out/wine/scenarios.out" 2>&1 ||
  echo "exit $?" >>"$out/wine/scenarios.out"
run_cli "$out/wine" wine "$PWD/build-win/morvelin.exe"
run_inkscape "$out/wine" wine build-win/morvelin.exe
echo "differential: wine runs took $(($(date +%s) - start)) s"

# The Windows C runtime writes "\r\n" to a text-mode stdout; the printed text
# is compared without the "\r". Written files are binary and compared as they are.
for f in "$out"/wine/*.out "$out"/wine/*.err; do sed -i 's/\r$//' "$f"; done
# The plug-in's globals block holds pointers: 40 bytes in the 64-bit native
# build, 24 in the 32-bit DLL (asserted as it compiles, plugin/plugin_globals.h).
# That one argument is compared as the DLL's.
sed -i 's/^SP Basic Suite\.AllocateBlock(40)$/SP Basic Suite.AllocateBlock(24)/' "$out/native/transcript.txt"

passed=0
failed=0
for f in "$out"/native/*; do
  name=$(basename "$f")
  if cmp -s "$f" "$out/wine/$name"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "differential: $name differs between the native build and the DLL under wine:"
    diff "$f" "$out/wine/$name" | head -n 20 || true
  fi
done
for f in "$out"/wine/*; do
  [ -e "$out/native/$(basename "$f")" ] || { failed=$((failed + 1)); echo "differential: only the DLL wrote $(basename "$f")"; }
done
# Every command line is one that works, and every inkscape run ends as the
# table says: failing alike in both builds proves nothing.
for f in "$out"/native/*.err; do
  if grep -q '^exit ' "$f"; then
    failed=$((failed + 1))
    echo "differential: $(basename "$f" .err) did not end as it should in the native build:"
    head -n 5 "$f"
  fi
done
grep -q "every scenario ended balanced" "$out/native/transcript.txt" ||
  { failed=$((failed + 1)); echo "differential: a native scenario ended unbalanced"; }
# The plug-in's own acos, cos and sin: against glibc natively and the DLL's
# build against the native one, on a sample of every float (every 16411th bit
# pattern; scripts/math-check.sh exhaustive checks all of them).
if bash scripts/math-check.sh sample 16411 >"$out/math.log" 2>&1; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "differential: the maths differ; see $out/math.log"
fi
grep '^math' "$out/math.log" || true
echo "$passed $failed" >"$out/summary"
echo "differential: $passed files identical, $failed differ"
[ "$failed" -eq 0 ]
