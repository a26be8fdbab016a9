// The stand-in's unite beside GEOS's unary union, on the circles and
// bridges the effect makes for grids of 100 and 300 circles. Ours takes the
// objects as they are (curves in, curves out, its own flattening inside);
// GEOS takes the same objects flattened beforehand at 0.005 units, the
// accuracy a polygon answer needs to match ours, each made valid (bridges
// may cross themselves) before the clock starts. Counters: the objects, the
// points GEOS is given, the segments of our result and the vertices of
// GEOS's, and the share of the objects our unite keeps (the rest lie inside
// them and are left out before anything is flattened).
// BM_StandinUniteOneThread is the same unite held to one thread (the native
// build's stages use two).
#include <benchmark/benchmark.h>
#include <geos_c.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/session/effect_session.h"
#include "standin/art/art_object.h"
#include "standin/unite/outline_art.h"
#include "standin/unite/shape_cull.h"
#include "standin/unite/unite_engine.h"
#include "standin/unite/work_split.h"
#include "tests/support/flatten.h"

namespace {

constexpr double kGeosTolerance = 0.005;

std::string GridOfCircles(int count) {
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\">\n";
  char element[128];
  for (int i = 0; i < count; ++i) {
    std::snprintf(element, sizeof element, "<circle cx=\"%g\" cy=\"%g\" r=\"%g\"/>\n", (i % 20) * 30.0,
                  (i / 20) * 30.0, 6.0 + (i * 7 % 11));
    svg += element;
  }
  return svg + "</svg>\n";
}

// The effect's circles and bridges, left as separate objects: the list the
// plug-in handed to the unite, which only recorded it.
struct Objects {
  morvelin::EffectSession session;
  std::vector<ArtObject*> list;
  explicit Objects(int circles) {
    session.LoadDrawingText(GridOfCircles(circles), "grid");
    session.host().unite().SetMerging(false);
    session.host().journal().SetRecording(false);
    session.host().effects().Execute(session.ApplyEffect(50.0f));
    list = session.host().unite().lastCall().objects;
  }
};

void Quiet(const char*, ...) {}

void BM_StandinUnite(benchmark::State& state) {
  Objects objects(static_cast<int>(state.range(0)));
  std::vector<standin::OutlineSegments> outlines;
  for (auto _ : state) {
    if (standin::UniteOutlines(objects.list, true, &outlines) != kHostNoError)
      state.SkipWithError("unite failed");
  }
  std::size_t segments = 0;
  for (const auto& o : outlines) {
    segments += o.outer.size();
    for (const auto& h : o.holes) segments += h.size();
  }
  state.counters["objects"] = static_cast<double>(objects.list.size());
  state.counters["result_segments"] = static_cast<double>(segments);
  state.counters["flatten_tolerance"] = 0.01;
  // The margin the unite passes: twice its flattening tolerance and four
  // grid steps.
  const std::size_t kept = standin::ShapesNotCovered(objects.list, 2 * 0.01 + 4 / 1024.0).size();
  state.counters["kept_share"] = static_cast<double>(kept) / static_cast<double>(objects.list.size());
}

void BM_StandinUniteOneThread(benchmark::State& state) {
  standin::SetUniteThreads(1);
  BM_StandinUnite(state);
  standin::SetUniteThreads(0);
}

void BM_GeosUnaryUnion(benchmark::State& state) {
  Objects objects(static_cast<int>(state.range(0)));
  GEOSContextHandle_t geos = GEOS_init_r();
  GEOSContext_setNoticeHandler_r(geos, Quiet);
  GEOSContext_setErrorHandler_r(geos, Quiet);
  std::vector<GEOSGeometry*> polygons;
  std::size_t points = 0;
  const standin::FlattenLimits limits{kGeosTolerance, 1e6, std::size_t{1} << 40};
  for (ArtObject* art : objects.list) {
    std::vector<standin::Contour> contours;
    if (standin::FlattenArt(*art, limits, &contours) != standin::FlattenResult::kOk) continue;
    for (const standin::Contour& contour : contours) {
      if (contour.size() < 3) continue;
      GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(geos, static_cast<unsigned>(contour.size() + 1), 2);
      for (std::size_t i = 0; i <= contour.size(); ++i) {
        const standin::FlatPoint& p = contour[i % contour.size()];
        GEOSCoordSeq_setXY_r(geos, sequence, static_cast<unsigned>(i), p.h, p.v);
      }
      points += contour.size();
      GEOSGeometry* polygon =
          GEOSGeom_createPolygon_r(geos, GEOSGeom_createLinearRing_r(geos, sequence), nullptr, 0);
      GEOSGeometry* valid = GEOSMakeValid_r(geos, polygon);
      GEOSGeom_destroy_r(geos, polygon);
      if (valid != nullptr) polygons.push_back(valid);
    }
  }
  GEOSGeometry* collection = GEOSGeom_createCollection_r(geos, GEOS_GEOMETRYCOLLECTION, polygons.data(),
                                                         static_cast<unsigned>(polygons.size()));
  int vertices = 0;
  for (auto _ : state) {
    GEOSGeometry* united = GEOSUnaryUnion_r(geos, collection);
    if (united == nullptr) {
      state.SkipWithError("GEOS failed");
      break;
    }
    vertices = GEOSGetNumCoordinates_r(geos, united);
    GEOSGeom_destroy_r(geos, united);
  }
  GEOSGeom_destroy_r(geos, collection);
  GEOS_finish_r(geos);
  state.counters["objects"] = static_cast<double>(objects.list.size());
  state.counters["input_points"] = static_cast<double>(points);
  state.counters["result_vertices"] = vertices;
  state.counters["flatten_tolerance"] = kGeosTolerance;
}

// Alternating, so that both see the same load on a shared machine.
BENCHMARK(BM_StandinUnite)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(false);
BENCHMARK(BM_StandinUniteOneThread)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_GeosUnaryUnion)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_StandinUnite)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_StandinUniteOneThread)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_GeosUnaryUnion)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
