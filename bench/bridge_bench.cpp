// The cost of one bridge outline, and of the libm calls alone that one bridge
// makes, over the same fixed set of circle pairs. Their ratio is the share of
// a bridge's time spent outside libm; BM_ComputeBridgeOutline also reports the
// absolute time of one bridge.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "blend/bridge_geometry.h"

namespace {

struct CirclePair {
  BlendCircle first, second;
  HostReal rate;
  bool crossing;  // d < r1 + r2: three inverse cosines instead of one
};

// 256 pairs that all make a bridge: apart, touching, crossing and deeply
// overlapping circles at every direction, radii from 1 to 100, rates 1% to
// 100%. Fixed seed, so every run measures the same work.
const std::vector<CirclePair>& Pairs() {
  static const std::vector<CirclePair> pairs = [] {
    std::vector<CirclePair> made;
    std::mt19937 random(2008);
    std::uniform_real_distribution<float> radius(1, 100), turn(-3.14159f, 3.14159f), spread(0, 3),
        coordinate(-500, 500);
    std::uniform_int_distribution<int> viscosity(1, 100);
    while (made.size() < 256) {
      CirclePair pair;
      pair.first = {{coordinate(random), coordinate(random)}, radius(random)};
      const HostReal r2 = radius(random);
      // Distances from well inside the overlap to three times the radii.
      const double d = std::fabs(pair.first.radius - r2) + spread(random) * (pair.first.radius + r2) * 0.5;
      const double t = turn(random);
      pair.second = {{static_cast<HostReal>(pair.first.centre.h + d * std::cos(t)),
                      static_cast<HostReal>(pair.first.centre.v + d * std::sin(t))},
                     r2};
      pair.rate = static_cast<HostReal>(viscosity(random) / 100.0);
      if (!ComputeBridgeOutline(pair.first, pair.second, pair.rate, 2.0f)) continue;
      const HostReal centres = StandardPointMath().distance(&pair.first.centre, &pair.second.centre);
      pair.crossing = centres < static_cast<double>(pair.first.radius) + pair.second.radius;
      made.push_back(pair);
    }
    return made;
  }();
  return pairs;
}

void BM_ComputeBridgeOutline(benchmark::State& state) {
  const std::vector<CirclePair>& pairs = Pairs();
  for (auto _ : state) {
    for (const CirclePair& pair : pairs) {
      auto outline = ComputeBridgeOutline(pair.first, pair.second, pair.rate, 2.0f);
      benchmark::DoNotOptimize(outline);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pairs.size()));
  // The absolute time of one bridge (CPU time per bridge).
  state.counters["per_bridge"] =
      benchmark::Counter(static_cast<double>(pairs.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeBridgeOutline);

// Arguments of the same kind as a bridge's: angles within two turns, cosines
// within [-1, 1], positive squared distances.
struct LibmArguments {
  std::vector<float> angles, cosines;
  std::vector<double> squares, dh, dv;
};

const LibmArguments& Arguments() {
  static const LibmArguments arguments = [] {
    LibmArguments made;
    std::mt19937 random(1908);
    std::uniform_real_distribution<float> angle(-6.2832f, 6.2832f), cosine(-1, 1);
    std::uniform_real_distribution<double> offset(-300, 300);
    const size_t count = Pairs().size();
    for (size_t i = 0; i < count * 8; ++i) made.angles.push_back(angle(random));
    for (size_t i = 0; i < count * 3; ++i) made.cosines.push_back(cosine(random));
    for (size_t i = 0; i < count * 2; ++i) {
      const double h = offset(random), v = offset(random);
      made.squares.push_back(h * h + v * v);
      made.dh.push_back(h);
      made.dv.push_back(v);
    }
    return made;
  }();
  return arguments;
}

// Per bridge: two distances (sqrt), one angle (atan2), one inverse cosine for
// circles apart or three for crossing ones, and eight polar offsets (a cosine
// and a sine each): four anchors and four handles. Each float-in call is
// widened to double and its result rounded to float, as in the geometry.
void BM_LibmCallsOfOneBridge(benchmark::State& state) {
  const std::vector<CirclePair>& pairs = Pairs();
  const LibmArguments& in = Arguments();
  for (auto _ : state) {
    for (size_t p = 0; p < pairs.size(); ++p) {
      float sum = 0;
      for (size_t i = 2 * p; i < 2 * p + 2; ++i) sum += static_cast<float>(std::sqrt(in.squares[i]));
      sum += static_cast<float>(std::atan2(in.dv[2 * p], in.dh[2 * p]));
      const size_t acosCount = pairs[p].crossing ? 3 : 1;
      for (size_t i = 3 * p; i < 3 * p + acosCount; ++i) {
        sum += static_cast<float>(std::acos(static_cast<double>(in.cosines[i])));
      }
      for (size_t i = 8 * p; i < 8 * p + 8; ++i) {
        sum += static_cast<float>(std::cos(static_cast<double>(in.angles[i])));
        sum += static_cast<float>(std::sin(static_cast<double>(in.angles[i])));
      }
      benchmark::DoNotOptimize(sum);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pairs.size()));
}
BENCHMARK(BM_LibmCallsOfOneBridge);

}  // namespace

BENCHMARK_MAIN();
