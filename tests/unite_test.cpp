// The stand-in host's Pathfinder unite: the geometry of the result, where it
// goes, what happens to the listed objects, and refused calls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "standin/art/art_store.h"
#include "standin/unite/outline_area.h"
#include "standin/unite/unite_engine.h"
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
      if (child->name.empty()) made.push_back(child);
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

TEST_F(UniteTest, DisjointCirclesStaySeparatePaths) {
  scene_.Add(Circle("A", 0, 0, 10));
  scene_.Add(Circle("B", 50, 0, 10));
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 2u);
  for (ArtHandle art : made) {
    ExpectStraightClosed(art);
    EXPECT_NEAR(standin::SignedOutlineArea(*art), kPi * 100, 0.1);
  }
  EXPECT_EQ(scene_.host().art().MadeByHost(), 2);
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
  scene_["eo"]->style.evenOddFill = 1;
  ASSERT_EQ(Unite({scene_["ring"], scene_["island"]}), kHostNoError);
  ASSERT_EQ(Unite({scene_["s"], scene_["n"], scene_["w"], scene_["e"]}), kHostNoError);
  ASSERT_EQ(Unite({scene_["eo"]}), kHostNoError);

  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 4u);
  // The ring, with the island in its hole as an outline of its own.
  ASSERT_EQ(made[0]->type, kArtTypeCompoundPath);
  ASSERT_EQ(made[0]->children.size(), 2u);
  for (ArtHandle contour : made[0]->children) ExpectStraightClosed(contour);
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
  scene_["A"]->style.fillColor = HostColor{1, 0, 0, 1};
  scene_["B"]->style.fillColor = HostColor{0, 1, 0, 1};
  ASSERT_EQ(Unite({scene_["B"], scene_["C"], scene_["A"]}), kHostNoError);

  EXPECT_EQ(Scene::ChildNames(scene_["inner"]), (std::vector<std::string>{"below", "", "above"}));
  EXPECT_EQ(Scene::ChildNames(scene_.layer()), (std::vector<std::string>{"outer", "emptied"}));
  EXPECT_TRUE(scene_["emptied"]->children.empty());
  const ArtHandle made = scene_["inner"]->children[1];
  EXPECT_EQ(made->style.fillColor.red, 1.0f);
  EXPECT_EQ(made->style.fillColor.green, 0.0f);
  EXPECT_EQ(scene_.host().art().Disposed(), 3);
}

// An 8-piece circle of radius 100: every point of the outline lies within
// 0.01 units of the circle, and the area within 0.01% of pi r^2.
TEST_F(UniteTest, FlatteningStaysWithinTolerance) {
  const double r = 100;
  scene_.Add(RoundCircle("A", 0, 0, r));
  scene_.Add(RoundCircle("B", 0, 0, r / 2));
  ASSERT_EQ(Unite({scene_["A"], scene_["B"]}), kHostNoError);
  const auto made = Made(scene_.layer());
  ASSERT_EQ(made.size(), 1u);
  const auto& s = made[0]->segments;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const HostPoint a = s[i].p, b = s[(i + 1) % s.size()].p;
    EXPECT_NEAR(std::hypot(a.h, a.v), r, 0.01);
    EXPECT_NEAR(std::hypot((a.h + b.h) / 2, (a.v + b.v) / 2), r, 0.01);
  }
  EXPECT_NEAR(standin::SignedOutlineArea(*made[0]) / (kPi * r * r), 1.0, 1e-4);
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
  // Within range, but the outline of a circle this big has more points than
  // a path holds.
  scene_.Add(RoundCircle("vast", 0, 0, 9e5));
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

}  // namespace
