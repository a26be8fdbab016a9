// The whole effect on drawings of 10 to 1,000 circles in the stand-in host:
// one go-live message per iteration (a fresh copy of the drawing, the
// collection, every bridge, and the unite unless it is switched off), beside
// the bridge geometry alone on the same pairs of circles. Their per-bridge
// times, taken in one run, compare the host calls' share with the geometry's.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "blend/bridge_geometry.h"
#include "cli/session/effect_session.h"
#include "standin/unite/unite_engine.h"

namespace {

// Circle i of the grid: centre ((i mod 20) * 30, (i div 20) * 30), radius
// 6 + (7i mod 11), so that some circles overlap and some stand apart. The
// same drawing as scripts/grid-drawing.py writes.
BlendCircle GridCircle(int i) {
  return {{static_cast<HostReal>((i % 20) * 30.0), static_cast<HostReal>((i / 20) * 30.0)},
          static_cast<HostReal>(6.0 + (i * 7 % 11))};
}

std::string GridOfCircles(int count) {
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\">\n";
  char element[128];
  for (int i = 0; i < count; ++i) {
    const BlendCircle circle = GridCircle(i);
    std::snprintf(element, sizeof element, "<circle cx=\"%g\" cy=\"%g\" r=\"%g\"/>\n",
                  static_cast<double>(circle.centre.h), static_cast<double>(circle.centre.v),
                  static_cast<double>(circle.radius));
    svg += element;
  }
  return svg + "</svg>\n";
}

int64_t Bridges(int circles) { return static_cast<int64_t>(circles) * (circles - 1) / 2; }

// Time per bridge (the iteration's CPU time divided by its bridges).
benchmark::Counter PerBridge(int64_t bridges) {
  return benchmark::Counter(static_cast<double>(bridges),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Bytes in use on the heap: glibc's allocated chunks and its mapped blocks.
size_t HeapInUse() {
  const struct mallinfo2 heap = mallinfo2();
  return heap.uordblks + heap.hblkhd;
}

void GoLive(benchmark::State& state, bool unite) {
  const int circles = static_cast<int>(state.range(0));
  morvelin::EffectSession session;
  session.LoadDrawingText(GridOfCircles(circles), "grid");
  session.host().unite().SetMerging(unite);
  session.host().journal().SetRecording(false);
  standin::EffectApplication& application = session.ApplyEffect(50.0f);
  // Executions outside the timing. The first measures what its result (the
  // drawing's copy, the template and every bridge) holds on the heap; without
  // the unite a second brings the store to its steady state, where each
  // execution reuses the room of the result before the one it replaces.
  const size_t before = HeapInUse();
  if (session.host().effects().Execute(application) != kHostNoError) state.SkipWithError("effect failed");
  const double bytes = static_cast<double>(HeapInUse()) - static_cast<double>(before);
  if (!unite && session.host().effects().Execute(application) != kHostNoError) {
    state.SkipWithError("effect failed");
  }
  for (auto _ : state) {
    session.host().journal().Clear();
    if (session.host().effects().Execute(application) != kHostNoError) state.SkipWithError("effect failed");
  }
  state.counters["bridges"] = static_cast<double>(Bridges(circles));
  state.counters["per_bridge"] = PerBridge(Bridges(circles));
  if (!unite) state.counters["bytes_per_bridge"] = bytes / static_cast<double>(Bridges(circles));
}

void GoLiveWithUnite(benchmark::State& state) { GoLive(state, true); }
void GoLiveWithoutUnite(benchmark::State& state) { GoLive(state, false); }

// The geometry alone: ComputeBridgeOutline on every pair of the same grid,
// with the standard point maths.
void BridgeGeometryOfGrid(benchmark::State& state) {
  const int circles = static_cast<int>(state.range(0));
  std::vector<BlendCircle> grid;
  for (int i = 0; i < circles; ++i) grid.push_back(GridCircle(i));
  for (auto _ : state) {
    for (int i = 0; i + 1 < circles; ++i) {
      for (int j = i + 1; j < circles; ++j) {
        std::optional<BridgeOutline> outline = ComputeBridgeOutline(grid[i], grid[j], 0.5f, 2.0f);
        benchmark::DoNotOptimize(outline);
      }
    }
  }
  state.counters["bridges"] = static_cast<double>(Bridges(circles));
  state.counters["per_bridge"] = PerBridge(Bridges(circles));
}

BENCHMARK(BridgeGeometryOfGrid)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(GoLiveWithoutUnite)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(GoLiveWithUnite)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
