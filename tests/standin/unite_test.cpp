// The stand-in host's Pathfinder unite: the geometry of the result, where it
// goes, what happens to the listed objects, and refused calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <polyclipping/clipper.hpp>
#include <sstream>
#include <string>
#include <unordered_map>

#include "blend/bridge_geometry.h"
#include "cli/session/effect_session.h"
#include "standin/art/art_store.h"
#include "standin/unite/bezier.h"
#include "standin/unite/merge_tree.h"
#include "standin/unite/outline_art.h"
#include "standin/unite/outline_union.h"
#include "standin/unite/unite_engine.h"
#include "standin/unite/work_split.h"
#include "tests/support/flatten.h"
#include "tests/support/outline_area.h"
#include "tests/support/scene.h"

using testscene::Circle;
using testscene::Compound;
using testscene::Group;
using testscene::Polygon;
using testscene::Scene;

namespace {

const double kPi = 3.14159265358979323846;

// A circle of n cubic pieces, counter-clockwise unless `clockwise`; with 8
// pieces it departs from the true circle by under 0.0005% of its radius.
testscene::ArtDescription RoundCircle(const std::string& name, double h, double v, double r, int n = 8,
                                      bool clockwise = false) {
  const double step = (clockwise ? -2 : 2) * kPi / n;
  const double k = 4.0 / 3.0 * std::tan(step / 4) * r;
  std::vector<PathSegment> segments;
  for (int i = 0; i < n; ++i) {
    const double c = std::cos(i * step), s = std::sin(i * step);
    auto at = [](double x, double y) {
      return HostPoint{static_cast<HostReal>(x), static_cast<HostReal>(y)};
    };
    segments.push_back(PathSegment{at(h + r * c, v + r * s), at(h + r * c + k * s, v + r * s - k * c),
                                   at(h + r * c - k * s, v + r * s + k * c), 0});
  }
  return testscene::Path(name, segments);
}

testscene::ArtDescription Square(const std::string& name, float left, float bottom, float side,
                                 bool clockwise = false) {
  std::vector<HostPoint> corners{
      {left, bottom}, {left + side, bottom}, {left + side, bottom + side}, {left, bottom + side}};
  if (clockwise) std::swap(corners[1], corners[3]);
  return Polygon(name, corners);
}

class UniteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(scene_.host().basic()->AcquireSuite(kPathfinderSuite, kPathfinderSuiteVersion,
                                                  reinterpret_cast<const void**>(&suite_)),
              kHostNoError);
    scene_.journal().Clear();
  }
  void TearDown() override {
    EXPECT_EQ(scene_.host().basic()->ReleaseSuite(kPathfinderSuite, kPathfinderSuiteVersion), kHostNoError);
  }

  // Calls the unite with the plug-in's options.
  HostError Unite(std::vector<ArtHandle> objects) {
    data_.objects = objects.data();
    data_.objectCount = static_cast<int32_t>(objects.size());
    return suite_->DoUniteEffect(&data_, &message_);
  }
  // The objects the unite made in `group` (they carry no name).
  static std::vector<ArtHandle> Made(ArtHandle group) {
    std::vector<ArtHandle> made;
    for (ArtHandle child : group->children) {
      if (child->source->name.empty()) made.push_back(child);
    }
    return made;
  }

  Scene scene_;
  const PathfinderSuite* suite_ = nullptr;
  PathfinderData data_{10.0, 1, 1, {}, nullptr, 0, 0};
  PathfinderMessage message_{scene_.host().MessageHeader(), nullptr, nullptr};
};

void ExpectStraightClosed(ArtHandle path) {
  ASSERT_EQ(path->type, kArtTypePath);
  EXPECT_TRUE(path->closed);
  for (const PathSegment& s : path->segments) {
    EXPECT_TRUE(s.in.h == s.p.h && s.in.v == s.p.v && s.out.h == s.p.h && s.out.v == s.p.v);
  }
}

// A path's pieces: piece i runs from anchor i to anchor i + 1, the last one
// back to anchor 0.
std::vector<standin::CubicPiece> PiecesOf(const std::vector<PathSegment>& s) {
  std::vector<standin::CubicPiece> pieces;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const PathSegment& a = s[i];
    const PathSegment& b = s[(i + 1) % s.size()];
    pieces.push_back(
        standin::CubicPiece{{a.p.h, a.p.v}, {a.out.h, a.out.v}, {b.in.h, b.in.v}, {b.p.h, b.p.v}});
  }
  return pieces;
}

bool SamePiece(const standin::CubicPiece& a, const standin::CubicPiece& b) {
  auto same = [](const standin::Vec2& p, const standin::Vec2& q) { return p.h == q.h && p.v == q.v; };
  return same(a.p0, b.p0) && same(a.p1, b.p1) && same(a.p2, b.p2) && same(a.p3, b.p3);
}

// The distance from p to the nearest point of the pieces: dense samples, then
// a narrowing search around the best.
double DistanceToPieces(const standin::Vec2& p, const std::vector<standin::CubicPiece>& pieces) {
  double best = 1e300;
  for (const standin::CubicPiece& c : pieces) {
    constexpr int kSamples = 256;
    int at = 0;
    double near = 1e300;
    for (int i = 0; i <= kSamples; ++i) {
      const double d = standin::Distance(standin::PointAt(c, double(i) / kSamples), p);
      if (d < near) near = d, at = i;
    }
    double lo = std::max(0.0, (at - 1.0) / kSamples), hi = std::min(1.0, (at + 1.0) / kSamples);
    for (int i = 0; i < 60; ++i) {
      const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
      if (standin::Distance(standin::PointAt(c, m1), p) < standin::Distance(standin::PointAt(c, m2), p)) {
        hi = m2;
      } else {
        lo = m1;
      }
    }
    best = std::min({best, near, standin::Distance(standin::PointAt(c, (lo + hi) / 2), p)});
  }
  return best;
}

// Whether every piece of the outline lies on the sources' pieces (nine
// points along it each within `tolerance` of one).
::testing::AssertionResult LiesOnSources(const std::vector<PathSegment>& outline,
                                         const std::vector<std::vector<PathSegment>>& sources,
                                         double tolerance = 2e-4) {
  std::vector<standin::CubicPiece> all;
  for (const auto& source : sources) {
    for (const standin::CubicPiece& piece : PiecesOf(source)) all.push_back(piece);
  }
  for (const standin::CubicPiece& piece : PiecesOf(outline)) {
    for (int i = 0; i <= 8; ++i) {
      const standin::Vec2 p = standin::PointAt(piece, i / 8.0);
      if (DistanceToPieces(p, all) > tolerance) {
        return ::testing::AssertionFailure()
               << "(" << p.h << ", " << p.v << ") on the piece from (" << piece.p0.h << ", " << piece.p0.v
               << ") to (" << piece.p3.h << ", " << piece.p3.v << ") is on no source";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// How many of the outline's pieces are, bit for bit, pieces of the sources.
int WholePieces(const std::vector<PathSegment>& outline,
                const std::vector<std::vector<PathSegment>>& sources) {
  int whole = 0;
  for (const standin::CubicPiece& piece : PiecesOf(outline)) {
    bool found = false;
    for (const auto& source : sources) {
      for (const standin::CubicPiece& s : PiecesOf(source)) found = found || SamePiece(piece, s);
    }
    whole += found;
  }
  return whole;
}

void ExpectSameSegments(const std::vector<PathSegment>& got, const std::vector<PathSegment>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(got[i].p.h == want[i].p.h && got[i].p.v == want[i].p.v && got[i].in.h == want[i].in.h &&
                got[i].in.v == want[i].in.v && got[i].out.h == want[i].out.h &&
                got[i].out.v == want[i].out.v && got[i].corner == want[i].corner)
        << "segment " << i;
  }
}

TEST_F(UniteTest, OverlappingSquaresBecomeOneOutline) {
  scene_.Add(Square("A", 0, 0, 10));
  scene_.Add(Square("B", 5, 5, 10));
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);

  EXPECT_FALSE(scene_.Has("A"));
  EXPECT_FALSE(scene_.Has("B"));
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 1u);
  ExpectStraightClosed(made[0]);
  EXPECT_EQ(made[0]->segments.size(), 8u);
  EXPECT_NEAR(standin::SignedOutlineArea(*made[0]), 175.0, 1e-9);
  EXPECT_EQ(scene_.host().art().MadeByHost(), 1);
  EXPECT_EQ(scene_.host().art().Live(), 2);  // the layer and the outline
}

// A shape drawn clockwise overlapping one drawn counter-clockwise: taken
// together by the non-zero rule their overlap would wind to zero and open a
// hole; each object's own area is what counts.
TEST_F(UniteTest, DrawingDirectionCutsNoHoles) {
  scene_.Add(Square("A", 0, 0, 10));
  scene_.Add(Square("B", 5, 5, 10, /*clockwise=*/true));
  scene_.Add(RoundCircle("C", 30, 5, 5, 8, /*clockwise=*/true));
  scene_.Add(RoundCircle("D", 36, 5, 5));
  ASSERT_EQ(Unite({scene_["A"], scene_["B"], scene_["C"], scene_["D"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 2u);
  for (ArtHandle art : made) EXPECT_EQ(art->type, kArtTypePath);
  EXPECT_NEAR(standin::SignedOutlineArea(*made[0]) + standin::SignedOutlineArea(*made[1]),
              175.0 + 2 * 25 * kPi - 2 * (25 * std::acos(0.6) - 3 * 4), 0.05);
}

// A circle nothing touches comes back as it was, curves and all.
TEST_F(UniteTest, DisjointCirclesComeBackUnchanged) {
  scene_.Add(RoundCircle("A", 0, 0, 10));
  scene_.Add(RoundCircle("B", 50, 0, 10));
  const auto a = scene_["A"]->segments, b = scene_["B"]->segments;
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 2u);
  for (ArtHandle art : made) {
    EXPECT_TRUE(art->closed);
    ExpectSameSegments(art->segments, art->segments[0].p.h > 25 ? b : a);
    // The measure flattens at 0.005 units, losing up to 0.2 square units.
    EXPECT_NEAR(standin::SignedOutlineArea(*art), kPi * 100, 0.2);
  }
  EXPECT_EQ(scene_.host().art().MadeByHost(), 2);
}

// Two overlapping circles of eight pieces: the six pieces of each that stay
// outside the other come back bit for bit, the two cut pieces of each are
// sub-curves of their source, and the two crossings are corners while every
// other anchor stays smooth.
TEST_F(UniteTest, CutPiecesLieOnTheirSourcesAndWholePiecesComeBackIdentical) {
  scene_.Add(RoundCircle("A", 0, 0, 10));
  scene_.Add(RoundCircle("B", 15, 0, 10));
  const std::vector<std::vector<PathSegment>> sources{scene_["A"]->segments, scene_["B"]->segments};
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 1u);
  const auto& outline = made[0]->segments;
  EXPECT_EQ(outline.size(), 16u);
  EXPECT_EQ(WholePieces(outline, sources), 12);
  EXPECT_TRUE(LiesOnSources(outline, sources));
  int corners = 0;
  for (const PathSegment& s : outline) {
    if (!s.corner) continue;
    ++corners;
    EXPECT_NEAR(s.p.h, 7.5, 1e-4);
    EXPECT_NEAR(std::fabs(s.p.v), std::sqrt(100 - 7.5 * 7.5), 1e-3);
  }
  EXPECT_EQ(corners, 2);
  const double lens = 2 * (100 * std::acos(0.75) - 7.5 * std::sqrt(100 - 7.5 * 7.5));
  // The measure flattens at 0.005 units, losing up to 0.3 square units.
  EXPECT_NEAR(standin::SignedOutlineArea(*made[0]), 2 * kPi * 100 - lens, 0.3);
}

// Holes survive: one made by a compound path, one enclosed by four bars, and
// one that a compound path with even-odd fill makes from two contours drawn
// the same way round.
TEST_F(UniteTest, HolesBecomeCompoundPaths) {
  scene_.Add(Compound("ring", {RoundCircle("", 0, 0, 20), RoundCircle("", 0, 0, 10, 8, true)}));
  scene_.Add(Square("island", -2, -2, 4));
  scene_.Add(Square("s", 100, 0, 10));
  scene_.Add(Square("n", 100, 20, 10));
  scene_.Add(Polygon("w", {{100, 0}, {102, 0}, {102, 30}, {100, 30}}));
  scene_.Add(Polygon("e", {{108, 0}, {110, 0}, {110, 30}, {108, 30}}));
  scene_.Add(Compound("eo", {Square("", 200, 0, 10), Square("", 203, 3, 4)}));
  scene_["eo"]->style.Edit().evenOddFill = 1;
  const std::vector<std::vector<PathSegment>> ring{scene_["ring"]->children[0]->segments,
                                                   scene_["ring"]->children[1]->segments};
  ASSERT_EQ(Unite({scene_["ring"], scene_["island"]}), kHostNoError);
  ASSERT_EQ(Unite({scene_["s"], scene_["n"], scene_["w"], scene_["e"]}), kHostNoError);
  ASSERT_EQ(Unite({scene_["eo"]}), kHostNoError);

  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 4u);
  // The ring, with the island in its hole as an outline of its own; its two
  // circles come back as they were drawn.
  ASSERT_EQ(made[0]->type, kArtTypeCompoundPath);
  ASSERT_EQ(made[0]->children.size(), 2u);
  ExpectSameSegments(made[0]->children[0]->segments, ring[0]);
  ExpectSameSegments(made[0]->children[1]->segments, ring[1]);
  EXPECT_NEAR(standin::FilledOutlineArea(*made[0]), kPi * 300, 0.1);
  EXPECT_EQ(made[1]->type, kArtTypePath);
  EXPECT_NEAR(standin::SignedOutlineArea(*made[1]), 16.0, 1e-9);
  // The frame of four bars.
  ASSERT_EQ(made[2]->type, kArtTypeCompoundPath);
  EXPECT_NEAR(standin::SignedOutlineArea(*made[2]), 300.0 - 60.0, 1e-9);
  // Even-odd fill: the inner square, drawn the same way round, is a hole.
  ASSERT_EQ(made[3]->type, kArtTypeCompoundPath);
  EXPECT_NEAR(standin::SignedOutlineArea(*made[3]), 84.0, 1e-9);
  EXPECT_EQ(scene_.host().art().MadeByHost(), 3 + 1 + 3 + 3);
}

// The lowest listed object is the first met depth first: "A" inside "inner"
// comes before "B", though "B" is listed first and sits higher in the tree.
TEST_F(UniteTest, ResultStandsWhereTheLowestObjectStoodWithItsStyle) {
  scene_.Add(Group("outer", {Group("inner", {Square("below", 100, 100, 1), Square("A", 0, 0, 10),
                                             Square("above", 200, 200, 1)})}));
  scene_.Add(Square("B", 5, 5, 10));
  scene_.Add(Group("emptied", {Square("C", 8, 8, 10)}));
  scene_["A"]->style.Edit().fillColor = HostColor{1, 0, 0, 1};
  scene_["B"]->style.Edit().fillColor = HostColor{0, 1, 0, 1};
  ASSERT_EQ(Unite({scene_["B"], scene_["C"], scene_["A"]}), kHostNoError);

  EXPECT_EQ(Scene::ChildNames(scene_["inner"]), (std::vector<std::string>{"below", "", "above"}));
  EXPECT_EQ(Scene::ChildNames(scene_.layer()), (std::vector<std::string>{"outer", "emptied"}));
  EXPECT_TRUE(scene_["emptied"]->children.empty());
  const ArtHandle made = scene_["inner"]->children[1];
  EXPECT_EQ(made->style->fillColor.red, 1.0f);
  EXPECT_EQ(made->style->fillColor.green, 0.0f);
  EXPECT_EQ(scene_.host().art().Disposed(), 3);
}

// A circle inside another leaves the outer one as it was: every point of the
// outline on the circle of radius 100 within 0.01 units (anchors and the
// middles of the pieces), and the area within 0.01% of pi r^2.
TEST_F(UniteTest, NestedCircleLeavesTheOuterOneIdentical) {
  const double r = 100;
  scene_.Add(RoundCircle("A", 0, 0, r));
  scene_.Add(RoundCircle("B", 0, 0, r / 2));
  const auto a = scene_["A"]->segments;
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 1u);
  ExpectSameSegments(made[0]->segments, a);
  for (const standin::CubicPiece& piece : PiecesOf(made[0]->segments)) {
    for (double t : {0.0, 0.5}) {
      const standin::Vec2 p = standin::PointAt(piece, t);
      EXPECT_NEAR(std::hypot(p.h, p.v), r, 0.01);
    }
  }
  EXPECT_NEAR(standin::SignedOutlineArea(*made[0]) / (kPi * r * r), 1.0, 1e-4);
}

// Shapes that meet tangentially or degenerately, as the effect's bridges
// meet their circles: each gives a valid outline whose pieces all lie on the
// sources, with no zero-length segment, and the area the shapes paint.
TEST_F(UniteTest, TangentAndDegenerateShapesGiveValidOutlines) {
  // A circle with one anchor repeated: a piece of zero length.
  testscene::ArtDescription repeated = RoundCircle("", 100, 0, 10);
  repeated.segments.insert(repeated.segments.begin() + 3, repeated.segments[3]);
  const auto bridge = ComputeBridgeOutline(BlendCircle{{200, 0}, 10}, BlendCircle{{230, 0}, 10}, 0.5f, 2.0f);
  ASSERT_TRUE(bridge.has_value());
  const std::vector<PathSegment> bridgeSegments(bridge->segments, bridge->segments + 4);
  struct Case {
    const char* name;
    std::vector<testscene::ArtDescription> shapes;
    std::size_t outlines;  // 0: one or two
    std::size_t maxSegments;
    bool sameAsFirst;  // the result is the first shape, segment for segment
  } cases[] = {
      {"circles touching at a point", {RoundCircle("", 0, 0, 10), RoundCircle("", 20, 0, 10)}, 0, 18, false},
      {"circle touching from inside", {RoundCircle("", 0, 0, 10), RoundCircle("", 5, 0, 5)}, 1, 8, true},
      {"the same circle twice", {RoundCircle("", 0, 0, 10), RoundCircle("", 0, 0, 10)}, 1, 8, true},
      {"squares sharing an edge", {Square("", 0, 0, 10), Square("", 10, 0, 10)}, 1, 4, false},
      {"zero-length piece", {repeated, Square("", 120, 0, 5)}, 2, 12, false},
      {"circles and their bridge",
       {RoundCircle("", 200, 0, 10), RoundCircle("", 230, 0, 10), testscene::Path("", bridgeSegments)},
       1,
       20,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ArtHandle> objects;
    std::vector<std::vector<PathSegment>> sources;
    double separateArea = 0;
    for (const testscene::ArtDescription& shape : c.shapes) {
      objects.push_back(scene_.Add(shape));
      sources.push_back(objects.back()->segments);
      separateArea += standin::FilledOutlineArea(*objects.back());
    }
    // The unite disposes of its sources: what the checks need of them is read first.
    const double firstArea = standin::SignedOutlineArea(*objects[0]);
    ASSERT_EQ(Unite(objects), kHostNoError);
    const auto made = Made(scene_.layer());
    if (c.outlines != 0) {
      ASSERT_EQ(made.size(), c.outlines);
    }
    double area = 0;
    for (ArtHandle art : made) {
      ASSERT_EQ(art->type, kArtTypePath);
      EXPECT_LE(art->segments.size(), c.maxSegments);
      EXPECT_TRUE(LiesOnSources(art->segments, sources));
      for (const standin::CubicPiece& piece : PiecesOf(art->segments)) {
        EXPECT_FALSE(SamePiece(piece, standin::CubicPiece{piece.p0, piece.p0, piece.p0, piece.p0}));
      }
      area += standin::SignedOutlineArea(*art);
    }
    if (c.sameAsFirst) {
      ExpectSameSegments(made[0]->segments, sources[0]);
    } else if (c.outlines != 1) {
      EXPECT_NEAR(area, separateArea, 0.05);
    } else if (std::string(c.name) == "squares sharing an edge") {
      EXPECT_EQ(area, 200.0);
    } else {
      // The bridge reaches into both circles and adds its waist.
      EXPECT_GT(area, firstArea * 2 + 1);
      EXPECT_LT(area, separateArea);
    }
    for (ArtHandle art : made) scene_.host().art().Dispose(art);
  }
}

// Eight overlapping circles in a ring leave a hole in the middle: the hole
// is made of the circles' own pieces, with a corner where each two cross.
TEST_F(UniteTest, AHoleBetweenCirclesKeepsTheirCurves) {
  std::vector<ArtHandle> objects;
  std::vector<std::vector<PathSegment>> sources;
  for (int i = 0; i < 8; ++i) {
    objects.push_back(scene_.Add(RoundCircle("", 10 * std::cos(i * kPi / 4), 10 * std::sin(i * kPi / 4), 6)));
    sources.push_back(objects.back()->segments);
  }
  ASSERT_EQ(Unite(objects), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 1u);
  ASSERT_EQ(made[0]->type, kArtTypeCompoundPath);
  ASSERT_EQ(made[0]->children.size(), 2u);
  for (ArtHandle contour : made[0]->children) EXPECT_TRUE(LiesOnSources(contour->segments, sources));
  const auto& hole = made[0]->children[1]->segments;
  EXPECT_EQ(std::count_if(hole.begin(), hole.end(), [](const PathSegment& s) { return s.corner != 0; }), 8);
  EXPECT_LT(standin::SignedOutlineArea(*made[0]->children[1]), 0);
  // The hole's corners lie where neighbouring circles cross, 10 cos(pi/8) -
  // sqrt(36 - (10 sin(pi/8))^2) from the centre.
  const double inner = 10 * std::cos(kPi / 8) - std::sqrt(36 - std::pow(10 * std::sin(kPi / 8), 2));
  for (const PathSegment& s : hole) {
    if (s.corner) {
      EXPECT_NEAR(std::hypot(s.p.h, s.p.v), inner, 1e-4);
    }
  }
}

// How many times a closed path winds around p, its pieces walked in steps of
// at most 0.002 units (finer than any gap the callers probe).
int WindingAround(const std::vector<PathSegment>& path, const standin::Vec2& p) {
  int winding = 0;
  for (const standin::CubicPiece& c : PiecesOf(path)) {
    const double reach =
        standin::Distance(c.p0, c.p1) + standin::Distance(c.p1, c.p2) + standin::Distance(c.p2, c.p3);
    const int steps = std::max(8, static_cast<int>(std::ceil(reach / 0.002)));
    standin::Vec2 a = c.p0;
    for (int i = 1; i <= steps; ++i) {
      const standin::Vec2 b = standin::PointAt(c, double(i) / steps);
      const double side = (b.h - a.h) * (p.v - a.v) - (p.h - a.h) * (b.v - a.v);
      if (a.v <= p.v && b.v > p.v && side > 0) ++winding;
      if (a.v > p.v && b.v <= p.v && side < 0) --winding;
      a = b;
    }
  }
  return winding;
}

// The area a closed path encloses (positive counter-clockwise), exact for its
// cubic pieces.
double EnclosedArea(const std::vector<PathSegment>& path) {
  auto cross = [](const standin::Vec2& a, const standin::Vec2& b) { return a.h * b.v - a.v * b.h; };
  double twenty = 0;
  for (const standin::CubicPiece& c : PiecesOf(path)) {
    twenty += 6 * cross(c.p0, c.p1) + 3 * cross(c.p0, c.p2) + cross(c.p0, c.p3) + 3 * cross(c.p1, c.p2) +
              3 * cross(c.p1, c.p3) + 6 * cross(c.p2, c.p3);
  }
  return twenty / 20;
}

// 25 random circles whose bridges curve towards their own inside and leave
// thin holes between them (the thinnest about 0.03 units across), which
// flattened chords lying across the gaps used to close. The union has the
// 16 contours larger than 0.01 square units that a fine polygon union of
// the same shapes has, and a point inside the thinnest hole is inside an
// outline and inside one of its holes.
TEST_F(UniteTest, ThinHolesBetweenBridgesStayOpen) {
  morvelin::EffectSession session(false);
  std::ifstream file(std::filesystem::path(__FILE__).parent_path().parent_path() / "data" /
                     "thin_hole_circles.svg");
  std::stringstream text;
  text << file.rdbuf();
  session.LoadDrawingText(text.str(), "thin_hole_circles.svg");
  session.host().unite().SetMerging(false);
  session.host().effects().Execute(session.ApplyEffect(50.0f));
  const std::vector<ArtObject*> objects = session.host().unite().lastCall().objects;
  ASSERT_GT(objects.size(), 25u);

  std::vector<standin::OutlineSegments> outlines;
  ASSERT_EQ(standin::UniteOutlines(objects, true, &outlines), kHostNoError);
  int large = 0;
  const standin::Vec2 probe{71.7958, 63.1044};
  int around = 0, inHoles = 0;
  for (const standin::OutlineSegments& o : outlines) {
    large += std::fabs(EnclosedArea(o.outer)) > 0.01;
    const int outer = WindingAround(o.outer, probe);
    around += outer;
    for (const auto& hole : o.holes) {
      large += std::fabs(EnclosedArea(hole)) > 0.01;
      inHoles -= outer != 0 ? WindingAround(hole, probe) : 0;
    }
  }
  EXPECT_EQ(large, 16);
  EXPECT_EQ(around, 1);
  EXPECT_EQ(inHoles, 1);
}

// The boundary of a fine polygon union of the objects: each flattened to
// within 0.001 units, turned counter-clockwise (they are simple shapes) and
// united by the non-zero rule.
std::vector<std::vector<standin::Vec2>> FineUnionBoundary(const std::vector<ArtObject*>& objects) {
  constexpr double kScale = 1e6;
  ClipperLib::Paths paths;
  for (const ArtObject* object : objects) {
    std::vector<standin::Contour> contours;
    EXPECT_EQ(standin::FlattenArt(*object, standin::FlattenLimits{0.001, 1e5, 1u << 26}, &contours),
              standin::FlattenResult::kOk);
    for (const standin::Contour& contour : contours) {
      ClipperLib::Path path;
      for (const standin::FlatPoint& p : contour)
        path.emplace_back(std::llround(p.h * kScale), std::llround(p.v * kScale));
      if (!ClipperLib::Orientation(path)) ClipperLib::ReversePath(path);
      paths.push_back(std::move(path));
    }
  }
  ClipperLib::Clipper clipper;
  clipper.AddPaths(paths, ClipperLib::ptSubject, true);
  ClipperLib::Paths united;
  clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  std::vector<std::vector<standin::Vec2>> rings;
  for (const ClipperLib::Path& path : united) {
    rings.emplace_back();
    for (const ClipperLib::IntPoint& p : path) rings.back().push_back({p.X / kScale, p.Y / kScale});
  }
  return rings;
}

// The edges of closed rings in square cells of kCell units: the distance
// from a point to the nearest edge, up to kCell (a point farther from every
// edge comes back as kCell).
class RingIndex {
 public:
  static constexpr double kCell = 0.05;

  explicit RingIndex(const std::vector<std::vector<standin::Vec2>>& rings) {
    for (const auto& ring : rings) {
      for (std::size_t i = 0; i < ring.size(); ++i) {
        const standin::Vec2 a = ring[i], b = ring[(i + 1) % ring.size()];
        const std::size_t edge = edges_.size();
        edges_.push_back({a, b});
        for (int64_t x = Cell(std::min(a.h, b.h)); x <= Cell(std::max(a.h, b.h)); ++x) {
          for (int64_t y = Cell(std::min(a.v, b.v)); y <= Cell(std::max(a.v, b.v)); ++y)
            cells_[Key(x, y)].push_back(edge);
        }
      }
    }
  }

  double CappedDistance(const standin::Vec2& p) const {
    double best = kCell;
    for (int64_t x = Cell(p.h) - 1; x <= Cell(p.h) + 1; ++x) {
      for (int64_t y = Cell(p.v) - 1; y <= Cell(p.v) + 1; ++y) {
        const auto it = cells_.find(Key(x, y));
        if (it == cells_.end()) continue;
        for (const std::size_t edge : it->second) {
          const standin::Vec2 a = edges_[edge].first, b = edges_[edge].second;
          const double dh = b.h - a.h, dv = b.v - a.v, length2 = dh * dh + dv * dv;
          const double t =
              length2 > 0 ? std::clamp(((p.h - a.h) * dh + (p.v - a.v) * dv) / length2, 0.0, 1.0) : 0;
          best = std::min(best, standin::Distance(p, {a.h + t * dh, a.v + t * dv}));
        }
      }
    }
    return best;
  }

 private:
  static int64_t Cell(double x) { return static_cast<int64_t>(std::floor(x / kCell)); }
  static int64_t Key(int64_t x, int64_t y) { return x * 4000003 + y; }
  std::vector<std::pair<standin::Vec2, standin::Vec2>> edges_;
  std::unordered_map<int64_t, std::vector<std::size_t>> cells_;
};

// The Hausdorff distance between the outlines' boundary (each piece walked in
// 128 steps) and the fine union's, both ways, so that neither an outline
// drawn inside the shapes nor a hole left out goes unseen; distances beyond
// RingIndex::kCell come back as kCell.
double HausdorffToFineUnion(const std::vector<standin::OutlineSegments>& outlines,
                            const std::vector<ArtObject*>& objects) {
  const std::vector<std::vector<standin::Vec2>> fine = FineUnionBoundary(objects);
  std::vector<std::vector<standin::Vec2>> ours;
  auto walk = [&ours](const std::vector<PathSegment>& path) {
    ours.emplace_back();
    for (const standin::CubicPiece& c : PiecesOf(path)) {
      for (int i = 0; i < 128; ++i) ours.back().push_back(standin::PointAt(c, i / 128.0));
    }
  };
  for (const standin::OutlineSegments& o : outlines) {
    walk(o.outer);
    for (const auto& hole : o.holes) walk(hole);
  }
  const RingIndex fineIndex(fine), ourIndex(ours);
  double worst = 0;
  for (const auto& ring : ours) {
    for (const standin::Vec2& p : ring) worst = std::max(worst, fineIndex.CappedDistance(p));
  }
  for (const auto& ring : fine) {
    for (const standin::Vec2& p : ring) worst = std::max(worst, ourIndex.CappedDistance(p));
  }
  return worst;
}

// Drawings whose bridges reach a circle side by side, so that their sides
// cross at a fraction of a degree and a third bridge passes through the
// crossing, and 25 random circles whose 300 bridges cross in every way: the
// outline follows the fine union of the same shapes within 0.02 units.
// Where such curves cross, their flattenings cross far from the curves' own
// crossing; taking the flattenings' crossing left a spike of outline 0.15
// units into the shapes. Where three sources' edges bound a small hole, each
// crossing is a vertex of neither; without the edges through them the hole's
// sides went missing (up to 3 units off in the crowded drawing).
TEST_F(UniteTest, OutlinesFollowTheFineUnionWhereBridgesMeetSideBySide) {
  const std::vector<std::pair<std::string, std::string>> drawings{
      {"side by side",
       "<svg xmlns=\"http://www.w3.org/2000/svg\">"
       "<circle cx=\"202.905\" cy=\"137.525\" r=\"19.226\"/><circle cx=\"60.861\" cy=\"81.883\" r=\"6.330\"/>"
       "<circle cx=\"160.340\" cy=\"24.541\" r=\"5.782\"/><circle cx=\"278.670\" cy=\"279.471\" r=\"6.548\"/>"
       "</svg>"},
      {"thin_hole_circles.svg", ""},
      {"crowded_circles.svg", ""},
  };
  for (const auto& [name, svg] : drawings) {
    SCOPED_TRACE(name);
    std::string text = svg;
    if (text.empty()) {
      std::ifstream file(std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / name);
      std::stringstream read;
      read << file.rdbuf();
      text = read.str();
    }
    morvelin::EffectSession session(false);
    session.LoadDrawingText(text, name);
    session.host().unite().SetMerging(false);
    session.host().effects().Execute(session.ApplyEffect(50.0f));
    const std::vector<ArtObject*> objects = session.host().unite().lastCall().objects;
    std::vector<standin::OutlineSegments> outlines;
    ASSERT_EQ(standin::UniteOutlines(objects, true, &outlines), kHostNoError);
    EXPECT_LE(HausdorffToFineUnion(outlines, objects), 0.02);
  }
}

// Every shape is read by its own fill rule whichever shape it is united
// with first: an even-odd compound whose inner square is drawn the same way
// round as the outer (a hole of 16), beside or inside a clockwise square read
// by the non-zero rule (filled either way round).
TEST_F(UniteTest, EachShapeKeepsItsFillRuleInTheUnion) {
  struct Case {
    const char* name;
    float left, bottom, side;  // the clockwise square
    double area;
  };
  for (const Case& c : {Case{"after", 212, 0, 5, 84.0 + 25}, Case{"before", 185, 0, 5, 84.0 + 25},
                        Case{"in the hole", 204, 4, 2, 84.0 + 4}}) {
    SCOPED_TRACE(c.name);
    Scene scene;
    const PathfinderSuite* suite = nullptr;
    ASSERT_EQ(scene.host().basic()->AcquireSuite(kPathfinderSuite, kPathfinderSuiteVersion,
                                                 reinterpret_cast<const void**>(&suite)),
              kHostNoError);
    ArtHandle eo = scene.Add(Compound("eo", {Square("", 200, 0, 10), Square("", 203, 3, 4)}));
    eo->style.Edit().evenOddFill = 1;
    ArtHandle square = scene.Add(Square("cw", c.left, c.bottom, c.side, /*clockwise=*/true));
    std::vector<ArtHandle> objects{eo, square};
    PathfinderData data{10.0, 1, 1, {}, objects.data(), 2, 0};
    PathfinderMessage message{scene.host().MessageHeader(), nullptr, nullptr};
    ASSERT_EQ(suite->DoUniteEffect(&data, &message), kHostNoError);
    double area = 0;
    for (ArtHandle art : Made(scene.layer())) area += standin::FilledOutlineArea(*art);
    EXPECT_NEAR(area, c.area, 1e-9);
    EXPECT_EQ(scene.host().basic()->ReleaseSuite(kPathfinderSuite, kPathfinderSuiteVersion), kHostNoError);
  }
}

// Refused calls return a code and leave every object where it was.
TEST_F(UniteTest, BadRecordsChangeNothing) {
  scene_.Add(Square("A", 0, 0, 10));
  scene_.Add(Compound("K", {Square("contour", 20, 0, 5)}));
  scene_.Add(Group("G"));
  scene_.Add(Square("huge", 0, 0, 2e6f));
  scene_.Add(Square("nan", 0, 0, std::numeric_limits<float>::quiet_NaN()));
  ArtHandle a = scene_["A"];
  ArtHandle dead = scene_.host().art().NewPath(nullptr, {}, true, PathStyle{});
  scene_.host().art().Dispose(dead);
  const int live = scene_.host().art().Live();

  EXPECT_EQ(suite_->DoUniteEffect(nullptr, &message_), kHostErrBadParameter);
  ArtHandle list[] = {a, a};
  data_.objects = list;
  data_.objectCount = 2;
  EXPECT_EQ(suite_->DoUniteEffect(&data_, nullptr), kHostErrBadParameter);
  PathfinderMessage wrongCheck = message_;
  wrongCheck.d.SPCheck = 0;
  EXPECT_EQ(suite_->DoUniteEffect(&data_, &wrongCheck), kHostErrBadParameter);
  data_.objectCount = -1;
  EXPECT_EQ(suite_->DoUniteEffect(&data_, &message_), kHostErrBadParameter);
  data_.objects = nullptr;
  data_.objectCount = 1;
  EXPECT_EQ(suite_->DoUniteEffect(&data_, &message_), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, nullptr}), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, dead}), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, scene_["G"]}), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, scene_["contour"]}), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, scene_["huge"]}), kHostErrBadParameter);
  EXPECT_EQ(Unite({a, scene_["nan"]}), kHostErrBadParameter);
  // Within range, but the outline has more segments than a path holds.
  // (A star of 34000 points, no three in line.)
  std::vector<HostPoint> many;
  for (int i = 0; i < 34000; ++i) {
    const double angle = 2 * kPi * i / 34000, r = i % 2 ? 1000 : 1001;
    many.push_back(
        HostPoint{static_cast<HostReal>(r * std::cos(angle)), static_cast<HostReal>(r * std::sin(angle))});
  }
  scene_.Add(Polygon("vast", many));
  EXPECT_EQ(Unite({a, scene_["vast"]}), kHostErrRange);
  scene_.journal().FailNth("DoUniteEffect", 1, kHostErrCancelled);
  EXPECT_EQ(Unite({a, scene_["K"]}), kHostErrCancelled);

  EXPECT_EQ(scene_.host().art().Live(), live + 1);
  EXPECT_EQ(scene_.host().art().MadeByHost(), 0);
  EXPECT_EQ(Scene::ChildNames(scene_.layer()),
            (std::vector<std::string>{"A", "K", "G", "huge", "nan", "vast"}));
  EXPECT_EQ(scene_.journal().Count("DoUniteEffect"), 13);
}

// Degenerate paths paint nothing: the listed objects go and nothing takes
// their place. A count of 0 does nothing at all.
TEST_F(UniteTest, EmptyResultLeavesNothing) {
  scene_.Add(Polygon("line", {{0, 0}, {5, 5}, {10, 10}}));
  scene_.Add(Polygon("point", {{3, 3}}));
  scene_.Add(Square("kept", 0, 0, 1));
  EXPECT_EQ(Unite({}), kHostNoError);
  EXPECT_EQ(scene_.layer()->children.size(), 3u);
  ASSERT_EQ(Unite({scene_["line"], scene_["point"], scene_["point"]}), kHostNoError);
  EXPECT_EQ(Scene::ChildNames(scene_.layer()), std::vector<std::string>{"kept"});
  EXPECT_EQ(scene_.host().art().MadeByHost(), 0);
}

TEST_F(UniteTest, WithoutMergingTheCallIsOnlyRecorded) {
  scene_.Add(Square("A", 0, 0, 10));
  scene_.Add(Square("B", 5, 5, 10));
  standin::UniteEngine& engine = scene_.host().unite();
  engine.SetMerging(false);
  ASSERT_EQ(Unite({scene_["B"], scene_["A"], scene_["B"]}), kHostNoError);

  EXPECT_EQ(Scene::ChildNames(scene_.layer()), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(engine.calls(), 1);
  const standin::UniteCall& call = engine.lastCall();
  EXPECT_EQ(call.precision, 10.0);
  EXPECT_EQ(call.removeRedundantPoints, 1);
  EXPECT_EQ(call.extractUnpaintedArtwork, 1);
  EXPECT_EQ(call.count, 3);
  EXPECT_EQ(call.objects, (std::vector<ArtHandle>{scene_["B"], scene_["A"], scene_["B"]}));
  EXPECT_EQ(
      scene_.journal().Dump(),
      "AI Pathfinder Suite.DoUniteEffect(precision=10 removeRedundantPoints=1 extractUnpaintedArtwork=1 "
      "count=3)\n");
}

// The unite's stages split their work across threads (two in the native
// build); the outlines must not depend on how many ran. The sample, a grid
// of 30 circles (465 objects, cut into ranges united apart and merged) and
// 25 crowded circles, whole and every other object of them (an odd number,
// cut elsewhere), united with one thread and with two: the same segments,
// bit for bit.
TEST_F(UniteTest, OneThreadAndTwoGiveTheSameOutlines) {
  std::string grid = "<svg xmlns=\"http://www.w3.org/2000/svg\">";
  for (int i = 0; i < 30; ++i) {
    grid += "<circle cx=\"" + std::to_string(i % 20 * 30) + "\" cy=\"" + std::to_string(i / 20 * 30) +
            "\" r=\"" + std::to_string(6 + i * 7 % 11) + "\"/>";
  }
  grid += "</svg>";
  struct Case {
    std::string name, svg;
    bool everyOther;
  };
  const std::vector<Case> cases{
      {"the sample", "", false},
      {"grid of 30", grid, false},
      {"crowded_circles.svg", "", false},
      {"crowded_circles.svg, every other object", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    morvelin::EffectSession session(false);
    if (c.name == "the sample") {
      session.LoadDrawing("");
    } else if (!c.svg.empty()) {
      session.LoadDrawingText(c.svg, c.name);
    } else {
      std::ifstream file(std::filesystem::path(__FILE__).parent_path().parent_path() / "data" /
                         "crowded_circles.svg");
      std::stringstream text;
      text << file.rdbuf();
      session.LoadDrawingText(text.str(), c.name);
    }
    session.host().unite().SetMerging(false);
    session.host().effects().Execute(session.ApplyEffect(50.0f));
    std::vector<ArtObject*> objects = session.host().unite().lastCall().objects;
    if (c.everyOther) {
      std::vector<ArtObject*> kept;
      for (std::size_t i = 0; i < objects.size(); i += 2) kept.push_back(objects[i]);
      if (kept.size() % 2 == 0) kept.pop_back();
      objects = kept;
    }
    std::vector<standin::OutlineSegments> results[2];
    for (int threads : {1, 2}) {
      standin::SetUniteThreads(threads);
      ASSERT_EQ(standin::UniteThreads(), threads);
      ASSERT_EQ(standin::UniteOutlines(objects, true, &results[threads - 1]), kHostNoError);
    }
    standin::SetUniteThreads(0);
    const auto& one = results[0];
    const auto& two = results[1];
    ASSERT_FALSE(one.empty());
    ASSERT_EQ(one.size(), two.size());
    auto same = [](const std::vector<PathSegment>& a, const std::vector<PathSegment>& b) {
      return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(PathSegment)) == 0;
    };
    for (std::size_t o = 0; o < one.size(); ++o) {
      EXPECT_TRUE(same(one[o].outer, two[o].outer)) << "outline " << o;
      ASSERT_EQ(one[o].holes.size(), two[o].holes.size()) << "outline " << o;
      for (std::size_t h = 0; h < one[o].holes.size(); ++h) {
        EXPECT_TRUE(same(one[o].holes[h], two[o].holes[h])) << "outline " << o << ", hole " << h;
      }
    }
  }
}

// Ranges of shapes united apart and merged as CutMergeTree says give the
// polygons of one GridUnion of all the shapes, point for point: shape
// counts with pairs a power of two, with one shape over, and neither, cut
// down to ranges of one pair and of a few.
TEST(UniteMergeTree, RangesMergedInTheTreeGiveTheCountersUnion) {
  // Octagons along a wandering line, each overlapping the ones before it.
  std::vector<ClipperLib::Paths> shapes;
  for (int k = 0; k < 70; ++k) {
    const double h = 40.0 * k + 300.0 * std::sin(k * 0.7), v = 500.0 * std::cos(k * 0.3),
                 r = 60.0 + 7 * (k % 5);
    ClipperLib::Path octagon;
    for (int i = 0; i < 8; ++i) {
      octagon.emplace_back(static_cast<ClipperLib::cInt>(std::lround(h + r * std::cos(i * kPi / 4))),
                           static_cast<ClipperLib::cInt>(std::lround(v + r * std::sin(i * kPi / 4))));
    }
    shapes.push_back({octagon});
  }
  for (std::size_t count : {64u, 65u, 70u, 37u}) {
    for (std::size_t leaf : {2u, 5u, 16u}) {
      SCOPED_TRACE(std::to_string(count) + " shapes, ranges of " + std::to_string(leaf));
      standin::GridUnion whole;
      for (std::size_t k = 0; k < count; ++k) whole.AddShape(shapes[k], k % 3 == 0);
      const std::vector<standin::MergeNode> nodes = standin::CutMergeTree(count, leaf);
      ASSERT_GT(nodes.size(), 1u);
      std::vector<ClipperLib::Paths> unions(nodes.size());
      for (std::size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].earlier >= 0) {
          unions[n] = standin::MergeUnions(unions[nodes[n].earlier], unions[nodes[n].later]);
          continue;
        }
        standin::GridUnion part;
        for (std::size_t k = nodes[n].begin; k < nodes[n].end; ++k) part.AddShape(shapes[k], k % 3 == 0);
        unions[n] = part.FinishPaths();
      }
      EXPECT_EQ(unions.back(), whole.FinishPaths());
    }
  }
}

// A piece of split work that throws (memory running out on a helper thread)
// reaches the caller, after every thread has finished, instead of ending
// the program; the pieces before it all ran, each once.
TEST(UniteThreads, AnExceptionInAPieceReachesTheCaller) {
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    standin::SetUniteThreads(threads);
    std::vector<int> runs(64, 0);
    EXPECT_THROW(standin::SplitWork(runs.size(),
                                    [&](std::size_t i) {
                                      if (i == 40) throw std::bad_alloc();
                                      ++runs[i];
                                    }),
                 std::bad_alloc);
    standin::SetUniteThreads(0);
    EXPECT_EQ(runs[40], 0);
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i], i < 40 ? 1 : std::min(runs[i], 1)) << i;
    }
  }
}

}  // namespace
