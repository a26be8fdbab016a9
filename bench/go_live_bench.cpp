// The whole effect on drawings of 10, 100 and 300 circles in the stand-in
// host: one go-live message per iteration (a fresh copy of the drawing, the
// collection, every bridge, and the unite unless it is switched off).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "cli/effect_session.h"
#include "standin/unite/unite_engine.h"

namespace {

// Circles on a grid, radii varying so that some overlap and some stand apart.
std::string GridOfCircles(int count) {
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\">\n";
  char element[128];
  for (int i = 0; i < count; ++i) {
    const double x = (i % 20) * 30.0;
    const double y = (i / 20) * 30.0;
    const double r = 6.0 + (i * 7 % 11);
    std::snprintf(element, sizeof element, "<circle cx=\"%g\" cy=\"%g\" r=\"%g\"/>\n", x, y, r);
    svg += element;
  }
  return svg + "</svg>\n";
}

void GoLive(benchmark::State& state, bool unite) {
  const int circles = static_cast<int>(state.range(0));
  morvelin::EffectSession session;
  session.LoadDrawingText(GridOfCircles(circles), "grid");
  session.host().unite().SetMerging(unite);
  session.host().journal().SetRecording(false);
  standin::EffectApplication& application = session.ApplyEffect(50.0f);
  for (auto _ : state) {
    session.host().journal().Clear();
    if (session.host().effects().Execute(application) != kHostNoError) state.SkipWithError("effect failed");
  }
  state.counters["bridges"] = circles * (circles - 1) / 2;
}

void GoLiveWithUnite(benchmark::State& state) { GoLive(state, true); }
void GoLiveWithoutUnite(benchmark::State& state) { GoLive(state, false); }

BENCHMARK(GoLiveWithoutUnite)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(GoLiveWithUnite)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
