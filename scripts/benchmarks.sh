#!/usr/bin/env bash
# Builds a Release build in build-rel/ and runs every benchmark program in
# bench/ in one run, then `morvelin apply --no-unite` on the benchmark's grid
# (scripts/measure-scale.sh), and writes docs/benchmarks.md: the ratios the
# benchmarks report, the machine's core count and the command lines used.
#   scripts/benchmarks.sh [--repetitions N] [--build DIR] [--out FILE] [--page-only]
# N (default 5) is the repetitions of each benchmark; the page gives medians.
# unite_bench fixes its own repetitions (5). The raw results stay in
# DIR/benchmark-results/; --page-only writes the page again from them without
# building or running anything. With ccache on PATH the build uses it as the
# compiler launcher (honouring the CCACHE_* variables).
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=5
build=build-rel
out=docs/benchmarks.md
page_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --repetitions) repetitions=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --page-only) page_only=1; shift ;;
    *) echo "usage: scripts/benchmarks.sh [--repetitions N] [--build DIR] [--out FILE] [--page-only]" >&2; exit 2 ;;
  esac
done

programs=()
for source in bench/*_bench.cpp; do programs+=("$(basename "$source" .cpp)"); done
results=$build/benchmark-results

if [ "$page_only" = 0 ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  configure=(cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}")
  "${configure[@]}" >/dev/null
  targets=$(cmake --build "$build" --target help)
  for program in "${programs[@]}"; do
    if ! grep -qw "$program" <<<"$targets"; then
      echo "benchmarks.sh: the build has no target $program: Google Benchmark (libbenchmark-dev) or GEOS" \
        "(libgeos-dev) is missing; scripts/install-deps.sh installs them" >&2
      exit 1
    fi
  done
  build_command=(cmake --build "$build" --target "${programs[@]}" morvelin -j "$(nproc)")
  "${build_command[@]}"

  rm -rf "$results"
  mkdir -p "$results"
  commands=("${configure[*]}" "${build_command[*]}")
  for program in "${programs[@]}"; do
    run=("$build/bench/$program" "--benchmark_repetitions=$repetitions" --benchmark_format=console
      "--benchmark_out=$results/$program.json" --benchmark_out_format=json)
    echo "== ${run[*]}"
    "${run[@]}"
    commands+=("${run[*]}")
  done
  scale=(bash scripts/measure-scale.sh "$build" 100 300 600 1000)
  echo "== ${scale[*]}"
  "${scale[@]}" | tee "$results/scale.md"
  commands+=("${scale[*]}")
  with_unite=(bash scripts/measure-scale.sh --unite "$build" 100 300 1000)
  echo "== ${with_unite[*]}"
  "${with_unite[@]}" | tee "$results/scale-unite.md"
  commands+=("${with_unite[*]}")
  printf '%s\n' "${commands[@]}" >"$results/commands.txt"
  echo "$repetitions" >"$results/repetitions"
fi

for program in "${programs[@]}"; do
  [ -f "$results/$program.json" ] || { echo "benchmarks.sh: $results/$program.json is missing" >&2; exit 1; }
done
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
python3 - "$results" "$out" "$(cat "$results/repetitions")" "$build" "${build_type:-?}" "${programs[@]}" <<'PY'
import json, os, platform, statistics, subprocess, sys

work, out, repetitions, build, build_type, programs = (sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4],
                                                      sys.argv[5], sys.argv[6:])
TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(program):
    """Median CPU time (ns) and counters of each benchmark, by name."""
    with open(os.path.join(work, program + ".json")) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        runs.setdefault(b["run_name"], []).append(b)
    result = {}
    for name, entries in runs.items():
        row = {"cpu_ns": statistics.median(e["cpu_time"] * TO_NS[e["time_unit"]] for e in entries),
               "repetitions": len(entries)}
        skip = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads", "iterations",
                "real_time", "cpu_time", "time_unit", "family_index", "per_family_instance_index",
                "aggregate_name", "error_occurred", "error_message", "items_per_second"}
        for key in entries[0]:
            if key not in skip and isinstance(entries[0][key], (int, float)):
                row[key] = statistics.median(e[key] for e in entries)
        result[name] = row
    return data["context"], result


def find(rows, family, n):
    """The benchmark `family` with argument n, whatever the name adds (iterations:1, repeats:5)."""
    for name, row in rows.items():
        parts = name.split("/")
        if parts[0] == family and len(parts) > 1 and parts[1] == str(n):
            return row
    return None


def sizes_of(rows, family):
    return sorted({int(name.split("/")[1]) for name in rows if name.split("/")[0] == family})


def duration(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return "%.3g %s" % (ns / scale, unit)
    return "%.1f ns" % ns


def count(value):
    return format(int(round(value)), ",")


results, context = {}, None
for program in programs:
    context, results[program] = load(program)

cpu = "an unnamed processor"
try:
    for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
        if line.startswith("Model name:"):
            cpu = line.split(":", 1)[1].strip()
except OSError:
    pass
compiler = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout.splitlines()[0]

lines = [
    "# Benchmarks",
    "",
    "Generated by `bash scripts/benchmarks.sh`: do not edit by hand; run the script again instead. It builds",
    "a `%s` build in `%s/`, runs every program in `bench/` one after the other, then" % (build_type, build),
    "`scripts/measure-scale.sh` on the same build. Each benchmark figure is the median over its repetitions",
    "of Google Benchmark's CPU time (user and system). On a machine shared with other jobs the ratios, taken",
    "within one run, are steadier than the absolute times.",
    "",
    "## Machine",
    "",
    "- %s cores (`nproc`), %s, %s %s" % (subprocess.run(["nproc"], capture_output=True, text=True).stdout.strip(),
                                         cpu, platform.system(), platform.machine()),
    "- %s, `%s` build" % (compiler, build_type),
    "- %d repetitions of each benchmark (unite_bench: 5, fixed in the program)" % repetitions,
    "",
]

bridge = results.get("bridge_bench", {})
if "BM_ComputeBridgeOutline" in bridge and "BM_LibmCallsOfOneBridge" in bridge:
    geometry = bridge["BM_ComputeBridgeOutline"]
    libm = bridge["BM_LibmCallsOfOneBridge"]
    per = geometry.get("per_bridge", 0) * 1e9
    lines += [
        "## One bridge (`bridge_bench`)",
        "",
        "The bridge geometry on 256 fixed pairs of circles, beside only the libm calls one bridge makes (2",
        "`sqrt`, 1 `atan2`, 1 or 3 `acos`, 8 `cos` and 8 `sin`) on arguments of the same kind. The ratio is",
        "what one bridge costs in multiples of those calls.",
        "",
        "| benchmark | CPU per bridge |",
        "|---|---|",
        "| `ComputeBridgeOutline` | %s |" % duration(per),
        "| the libm calls of one bridge | %s |" % duration(libm["cpu_ns"] / 256),
        "| **ratio** | **%.2f** |" % (geometry["cpu_ns"] / libm["cpu_ns"]),
        "",
    ]

go = results.get("go_live_bench", {})
sizes = sizes_of(go, "GoLiveWithoutUnite")
if sizes:
    lines += [
        "## Go-live (`go_live_bench`)",
        "",
        "The whole effect in the stand-in host on a grid of circles (circle i at ((i mod 20) × 30, (i div 20) ×",
        "30), radius 6 + (7i mod 11); `scripts/grid-drawing.py` writes the same drawing), one go-live message",
        "per iteration, beside the bridge geometry alone on the same pairs. Without the unite, the ratio is",
        "the host calls' share: go-live per bridge ÷ geometry per bridge. Bytes per bridge is what one",
        "execution's result holds on the heap.",
        "",
        "| circles | bridges | go-live per bridge | geometry per bridge | ratio | bytes per bridge |",
        "|---|---|---|---|---|---|",
    ]
    per_bridge = []
    for n in sizes:
        live = find(go, "GoLiveWithoutUnite", n)
        geometry = find(go, "BridgeGeometryOfGrid", n) or {}
        live_ns, geo_ns = live["per_bridge"] * 1e9, geometry.get("per_bridge", 0) * 1e9
        per_bridge.append(live_ns)
        lines.append("| %s | %s | %s | %s | %s | %s |" % (
            count(n), count(live["bridges"]), duration(live_ns), duration(geo_ns) if geo_ns else "",
            "%.2f" % (live_ns / geo_ns) if geo_ns else "", count(live.get("bytes_per_bridge", 0))))
    lines += [
        "",
        "Go-live per bridge, largest ÷ smallest over the sizes: **%.2f** (1.00 is a cost per bridge that does"
        % (max(per_bridge) / min(per_bridge)),
        "not grow with the drawing).",
        "",
    ]
    united = [(n, find(go, "GoLiveWithUnite", n)) for n in sizes_of(go, "GoLiveWithUnite")]
    if united:
        lines += [
            "With the unite (one iteration per repetition):",
            "",
            "| circles | objects united | one go-live | per bridge |",
            "|---|---|---|---|",
        ]
        for n, r in united:
            lines.append("| %s | %s | %s | %s |" % (count(n), count(r["bridges"] + n), duration(r["cpu_ns"]),
                                                   duration(r["per_bridge"] * 1e9)))
        lines.append("")

unite = results.get("unite_bench", {})
grids = sizes_of(unite, "BM_StandinUnite")
if grids:
    lines += [
        "## The unite beside GEOS (`unite_bench`)",
        "",
        "The stand-in's unite on the circles and bridges of a grid takes the objects as they are (curves in,",
        "curves out, its own flattening at 0.01 units inside); GEOS's `GEOSUnaryUnion` takes the same objects",
        "flattened beforehand at 0.005 units and made valid. The ratio is ours ÷ GEOS's CPU time.",
        "",
        "| grid | objects | GEOS input points | ours (result segments) | GEOS (result vertices) | ratio |",
        "|---|---|---|---|---|---|",
    ]
    for n in grids:
        ours = find(unite, "BM_StandinUnite", n)
        geos = find(unite, "BM_GeosUnaryUnion", n) or {}
        lines.append("| %s circles | %s | %s | %s (%s) | %s (%s) | **%s** |" % (
            count(n), count(ours["objects"]), count(geos.get("input_points", 0)), duration(ours["cpu_ns"]),
            count(ours["result_segments"]), duration(geos["cpu_ns"]) if geos else "",
            count(geos.get("result_vertices", 0)), "%.2f" % (ours["cpu_ns"] / geos["cpu_ns"]) if geos else ""))
    lines.append("")

lines += [
    "## `morvelin apply --no-unite` on the grid (`scripts/measure-scale.sh`)",
    "",
    "The whole process, one run per size (`/usr/bin/time -v`): reading the drawing, the effect and writing",
    "the result. The third and fourth columns are wall-clock time, which other jobs on the machine stretch;",
    "the CPU time is the steadier figure. Most of a bridge's time here is reading, writing and exporting,",
    "not the effect.",
    "",
]
with open(os.path.join(work, "scale.md")) as f:
    lines += [line.rstrip("\n") for line in f if line.strip()]
lines.append("")

unite_scale = os.path.join(work, "scale-unite.md")
if os.path.exists(unite_scale):
    with open(unite_scale) as f:
        rows = [line.rstrip("\n") for line in f if line.strip()]
    lines += [
        "## `morvelin apply` with the unite beside `--no-unite` (`scripts/measure-scale.sh --unite`)",
        "",
        "The whole process both ways, best of three runs up to 300 circles and one run above (wall clock).",
        "The difference is what the unite takes, culling, flattening, clipping and rebuilding the curves.",
        "",
    ] + rows + [""]
    # The unite in the whole process against GEOS's unary union (unite_bench, CPU time).
    geos_rows = []
    for row in rows[2:]:
        cells = [c.strip() for c in row.strip("|").split("|")]
        n = int(cells[0])
        geos = find(unite, "BM_GeosUnaryUnion", n) if unite else None
        if geos:
            difference = float(cells[5].split()[0])
            geos_rows.append("| %s circles | %.2f s | %s | **%.2f** |" % (
                count(n), difference, duration(geos["cpu_ns"]), difference * 1e9 / geos["cpu_ns"]))
    if geos_rows:
        lines += [
            "The unite in the whole process (the difference above) against GEOS's unary union of the same",
            "objects flattened at 0.005 units (`unite_bench`):",
            "",
            "| grid | the unite in `apply` | GEOS | ratio |",
            "|---|---|---|---|",
        ] + geos_rows + [""]

lines += ["## Every benchmark", "", "Median CPU time and counters of every benchmark the programs ran.", ""]
for program in programs:
    lines += ["`%s`:" % program, "", "| benchmark | CPU time | repetitions | counters |", "|---|---|---|---|"]
    for name, r in results[program].items():
        counters = ", ".join("%s %s" % (k, duration(v * 1e9) if k == "per_bridge" else
                                        count(v) if v == int(v) else "%.4g" % v)
                             for k, v in r.items() if k not in ("cpu_ns", "repetitions"))
        lines.append("| `%s` | %s | %d | %s |" % (name, duration(r["cpu_ns"]), r["repetitions"], counters))
    lines.append("")

with open(os.path.join(work, "commands.txt")) as f:
    commands = [line.rstrip("\n") for line in f if line.strip()]
lines += ["## Command lines", "", "```"] + commands + ["```", ""]

with open(out, "w") as f:
    f.write("\n".join(lines))
print("wrote " + out)
PY
