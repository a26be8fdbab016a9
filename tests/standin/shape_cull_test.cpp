// Which shapes the unite leaves out as covered by the ones it keeps: never
// one that adds area, however little, and the union of the kept shapes is
// the union of all.
#include "standin/unite/shape_cull.h"

#include <gtest/gtest.h>

#include <cmath>
#include <polyclipping/clipper.hpp>
#include <string>
#include <utility>
#include <vector>

#include "standin/unite/outline_art.h"
#include "standin/unite/unite_engine.h"
#include "tests/support/flatten.h"
#include "tests/support/scene.h"

using testscene::Circle;
using testscene::Compound;
using testscene::Polygon;

namespace {

// What the unite passes: twice its flattening tolerance and four grid steps.
constexpr double kMargin = 2 * 0.01 + 4 / 1024.0;

testscene::ArtDescription Rectangle(const std::string& name, float left, float bottom, float right,
                                    float top) {
  return Polygon(name, {{left, bottom}, {right, bottom}, {right, top}, {left, top}});
}

testscene::ArtDescription EvenOdd(testscene::ArtDescription art) {
  art.style.evenOddFill = 1;
  return art;
}

// The area of the union of the objects' fine flattenings, each resolved by
// its own fill rule.
double FineUnionArea(const std::vector<ArtObject*>& objects) {
  constexpr double kScale = 1 << 14;
  ClipperLib::Clipper all;
  for (const ArtObject* art : objects) {
    std::vector<standin::Contour> contours;
    EXPECT_EQ(standin::FlattenArt(*art, {0.0005, 1e6, std::size_t{1} << 24}, &contours),
              standin::FlattenResult::kOk);
    ClipperLib::Paths paths, resolved;
    for (const standin::Contour& c : contours) {
      ClipperLib::Path path;
      for (const standin::FlatPoint& p : c)
        path.emplace_back(std::llround(p.h * kScale), std::llround(p.v * kScale));
      paths.push_back(path);
    }
    ClipperLib::Clipper one;
    one.AddPaths(paths, ClipperLib::ptSubject, true);
    one.Execute(ClipperLib::ctUnion, resolved,
                art->style->evenOddFill ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero);
    all.AddPaths(resolved, ClipperLib::ptSubject, true);
  }
  ClipperLib::Paths united;
  all.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero);
  double area = 0;
  for (const ClipperLib::Path& p : united) area += ClipperLib::Area(p);
  return area / (kScale * kScale);
}

// The area inside a closed path of cubic pieces, each taken as 256 chords.
double EnclosedArea(const std::vector<PathSegment>& path) {
  double twice = 0;
  for (std::size_t k = 0; k < path.size(); ++k) {
    const PathSegment &a = path[k], &b = path[(k + 1) % path.size()];
    auto at = [&](double t) {
      const double u = 1 - t;
      return std::pair<double, double>{
          u * u * u * a.p.h + 3 * u * u * t * a.out.h + 3 * u * t * t * b.in.h + t * t * t * b.p.h,
          u * u * u * a.p.v + 3 * u * u * t * a.out.v + 3 * u * t * t * b.in.v + t * t * t * b.p.v};
    };
    for (int i = 0; i < 256; ++i) {
      const auto p = at(i / 256.0), q = at((i + 1) / 256.0);
      twice += p.first * q.second - p.second * q.first;
    }
  }
  return twice / 2;
}

TEST(UniteCullTest, LeavesOutOnlyShapesTheKeptOnesCover) {
  struct Case {
    std::string what;
    std::vector<testscene::ArtDescription> shapes;
    std::vector<std::string> kept;  // names, in list order
  };
  const std::vector<Case> cases = {
      {"a circle inside a larger one, listed first",
       {Circle("small", 2, 0, 3), Circle("big", 0, 0, 10)},
       {"big"}},
      {"a circle that pokes out of the larger one by a thousandth",
       {Circle("big", 0, 0, 10), Circle("small", 7.001f, 0, 3)},
       {"big", "small"}},
      {"a circle inside the larger one by less than the margin",
       {Circle("big", 0, 0, 10), Circle("small", 6.99f, 0, 3)},
       {"big", "small"}},
      // Small shapes make small cells: here the margin is what keeps the first.
      {"squares inside a circle by a hundredth and by a fifth",
       {Circle("big", 0, 0, 10), Rectangle("near", 9.59f, -0.2f, 9.99f, 0.2f),
        Rectangle("deep", 9.4f, -0.2f, 9.8f, 0.2f)},
       {"big", "near"}},
      {"a rectangle across the seam of two others, inside neither",
       {Rectangle("left", 0, 0, 10, 10), Rectangle("right", 8, 0, 18, 10), Rectangle("across", 5, 2, 13, 8)},
       {"left", "right"}},
      {"the same rectangle a thousandth over the top edge",
       {Rectangle("left", 0, 0, 10, 10), Rectangle("right", 8, 0, 18, 10),
        Rectangle("across", 5, 2, 13, 10.001f)},
       {"left", "right", "across"}},
      {"circles in an even-odd ring: in its hole, and in its body",
       {EvenOdd(Compound("ring", {Circle("", 0, 0, 10), Circle("", 0, 0, 5)})), Circle("hole", 0, 0, 1),
        Circle("body", 7.5f, 0, 1)},
       {"ring", "hole"}},
      {"a thin bar over a row of overlapping circles, and one that leaves it by a hair",
       {Circle("a", 0, 0, 10), Circle("b", 15, 0, 10), Circle("c", 30, 0, 10),
        Rectangle("bar", -5, -1, 35, 1), Rectangle("long", -5, -1, 40.001f, 1)},
       {"a", "b", "c", "long"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testscene::Scene scene;
    std::vector<ArtObject*> objects;
    for (const testscene::ArtDescription& shape : c.shapes) objects.push_back(scene.Add(shape));
    const std::vector<ArtObject*> kept = standin::ShapesNotCovered(objects, kMargin);
    std::vector<std::string> names;
    for (const ArtObject* art : kept) names.push_back(art->source->name);
    EXPECT_EQ(names, c.kept);
    // The kept shapes paint what all of them do, and so does the outline
    // the unite makes of all.
    const double all = FineUnionArea(objects);
    EXPECT_NEAR(FineUnionArea(kept), all, 1e-6 * all);
    std::vector<standin::OutlineSegments> outlines;
    ASSERT_EQ(standin::UniteOutlines(objects, false, &outlines), kHostNoError);
    double outlineArea = 0;
    for (const standin::OutlineSegments& o : outlines) {
      outlineArea += std::fabs(EnclosedArea(o.outer));
      for (const std::vector<PathSegment>& hole : o.holes) outlineArea -= std::fabs(EnclosedArea(hole));
    }
    EXPECT_NEAR(outlineArea, all, 1e-4 * all);
  }
}

}  // namespace
