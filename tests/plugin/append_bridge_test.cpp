// The host layer of the bridge: bounds in, one path written and appended.
#include "blend/append_bridge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "blend/bridge_geometry.h"
#include "standin/art/art_store.h"
#include "standin/journal/journal.h"
#include "tests/support/held_suites.h"
#include "tests/support/scene.h"

using namespace testscene;

namespace {

constexpr HostError kInjected = HOST_FOURCC('T', 'E', 'S', 'T');
constexpr HostReal kCap = 2.0f;

bool SameSegment(const PathSegment& x, const PathSegment& y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// Two source circles, the template path above them (as the go-live handler
// prepares it: a stroked copy of the first, four segments) and a working list
// holding the two sources, with room for more.
struct BridgeScene {
  explicit BridgeScene(ArtDescription first = Circle("A", 0, 0, 10),
                       ArtDescription second = Circle("B", 30, 0, 10))
      : scene({first, second, Circle("T", 0, 0, 10).Stroked(2)}), suites(scene.host()) {
    a = scene[first.name];
    b = scene[second.name];
    templatePath = scene["T"];
    original = templatePath->segments;
    list = {a, b, nullptr, nullptr};
    scene.journal().Clear();
  }

  HostError Append(HostReal rate, bool duplicate) {
    return AppendBridge(&a, &b, rate, kCap, &templatePath, duplicate, list.data(), &lastIndex);
  }
  // The outline the geometry makes for the two circles.
  BridgeOutline Expected(HostReal rate) {
    HostRect first = standin::ArtStore::Bounds(a, nullptr, false);
    HostRect second = standin::ArtStore::Bounds(b, nullptr, false);
    auto outline = ComputeBridgeOutline(CircleFromBounds(first), CircleFromBounds(second), rate, kCap);
    EXPECT_TRUE(outline.has_value());
    return outline.value_or(BridgeOutline{});
  }
  bool TemplateUntouched() const {
    for (std::size_t i = 0; i < original.size(); ++i) {
      if (!SameSegment(templatePath->segments[i], original[i])) return false;
    }
    return templatePath->segments.size() == original.size();
  }

  Scene scene;
  HeldSuites suites;
  ArtHandle a = nullptr;
  ArtHandle b = nullptr;
  ArtHandle templatePath = nullptr;
  std::vector<PathSegment> original;
  std::vector<ArtHandle> list;
  int32_t lastIndex = 1;
};

TEST(AppendBridge, WithDuplicateWritesANewCopyAboveTheTemplateAndAppendsIt) {
  BridgeScene s;
  ASSERT_EQ(s.Append(0.5f, true), kHostNoError);

  EXPECT_EQ(Scene::ChildNames(s.scene.layer()), (std::vector<std::string>{"A", "B", "T", ""}));
  ArtHandle copy = s.scene.layer()->children[3];
  EXPECT_EQ(s.lastIndex, 2);
  EXPECT_EQ(s.list[2], copy);
  EXPECT_EQ(s.list[3], nullptr);
  EXPECT_TRUE(s.TemplateUntouched());
  EXPECT_EQ(s.scene.host().art().MadeByHost(), 1);

  // The copy keeps the template's paint and closed state and carries the bridge.
  EXPECT_EQ(std::memcmp(&copy->style.get(), &s.templatePath->style.get(), sizeof(PathStyle)), 0);
  EXPECT_TRUE(copy->closed);
  const BridgeOutline expected = s.Expected(0.5f);
  ASSERT_EQ(copy->segments.size(), 4u);
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(SameSegment(copy->segments[i], expected.segments[i])) << "segment " << i;

  // Circles (0, 0) and (30, 0) of radius 10 at rate 0.5: a curve from
  // (7.0711, 7.0711) to (22.9289, 7.0711) with handles at (12.6777, 1.4645)
  // and (17.3223, 1.4645), the chord down to (22.9289, -7.0711), the mirror
  // curve back and the chord up.
  const PathSegment* seg = copy->segments.data();
  EXPECT_NEAR(seg[0].p.h, 7.0711, 1e-4);
  EXPECT_NEAR(seg[0].p.v, 7.0711, 1e-4);
  EXPECT_NEAR(seg[0].out.h, 12.6777, 1e-4);
  EXPECT_NEAR(seg[0].out.v, 1.4645, 1e-4);
  EXPECT_TRUE(seg[0].in.h == seg[0].p.h && seg[0].in.v == seg[0].p.v);
  EXPECT_NEAR(seg[1].in.h, 17.3223, 1e-4);
  EXPECT_NEAR(seg[1].p.h, 22.9289, 1e-4);
  EXPECT_NEAR(seg[2].p.v, -7.0711, 1e-4);
  EXPECT_NEAR(seg[3].in.h, 12.6777, 1e-4);
  EXPECT_NEAR(seg[3].in.v, -1.4645, 1e-4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(seg[i].corner, 0);
}

TEST(AppendBridge, WithoutDuplicateTheTemplateItselfBecomesTheBridge) {
  BridgeScene s;
  ASSERT_EQ(s.Append(0.5f, false), kHostNoError);
  EXPECT_EQ(Scene::ChildNames(s.scene.layer()), (std::vector<std::string>{"A", "B", "T"}));
  EXPECT_EQ(s.lastIndex, 2);
  EXPECT_EQ(s.list[2], s.templatePath);
  EXPECT_EQ(s.scene.host().art().MadeByHost(), 0);
  const BridgeOutline expected = s.Expected(0.5f);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameSegment(s.templatePath->segments[i], expected.segments[i]));
}

TEST(AppendBridge, CallsTheHostInTheStatedOrder) {
  BridgeScene s;
  ASSERT_EQ(s.Append(0.5f, true), kHostNoError);
  const std::string copy = standin::HandleText(s.list[2]);
  std::vector<std::string> calls;
  for (const auto& entry : s.scene.journal().entries()) calls.push_back(entry.op + "(" + entry.args + ")");
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "GetArtTransformBounds(A, null, 2)",
                       "GetArtTransformBounds(B, null, 2)",
                       "PointDistance((0, 0), (30, 0))",
                       "PointAngle((0, 0), (30, 0))",
                       "PointDistance((7.07107, 7.07107), (22.9289, 7.07107))",
                       "DuplicateArt(T, 1, T)",
                       "GetPathSegments(" + copy + ", 0, 1)",
                       "SetPathSegments(" + copy + ", 0, 1)",
                       "GetPathSegments(" + copy + ", 1, 1)",
                       "SetPathSegments(" + copy + ", 1, 1)",
                       "GetPathSegments(" + copy + ", 2, 1)",
                       "SetPathSegments(" + copy + ", 2, 1)",
                       "GetPathSegments(" + copy + ", 3, 1)",
                       "SetPathSegments(" + copy + ", 3, 1)",
                   }));
}

// A code from any host call comes back unchanged. What was done before it
// stays done (a copy, segments written); nothing is appended.
struct Failure {
  const char* op;
  int nth;        // the failing call of that operation, from 1
  bool copyMade;  // the copy exists when the failure comes
  int segmentsWritten;
};

class AppendBridgeFailure : public testing::TestWithParam<Failure> {};

TEST_P(AppendBridgeFailure, ReturnsTheCodeAndLeavesThePartialState) {
  const Failure failure = GetParam();
  BridgeScene s;
  const BridgeOutline expected = s.Expected(0.5f);
  s.scene.journal().FailNth(failure.op, failure.nth, kInjected);
  ASSERT_EQ(s.Append(0.5f, true), kInjected);

  EXPECT_EQ(s.lastIndex, 1);
  EXPECT_EQ(s.list, (std::vector<ArtHandle>{s.a, s.b, nullptr, nullptr}));
  EXPECT_TRUE(s.TemplateUntouched());
  EXPECT_EQ(s.scene.journal().entries().back().injected, kInjected);
  ASSERT_EQ(s.scene.layer()->children.size(), failure.copyMade ? 4u : 3u);
  if (!failure.copyMade) return;
  ArtHandle copy = s.scene.layer()->children[3];
  for (int i = 0; i < 4; ++i) {
    const PathSegment& want = i < failure.segmentsWritten ? expected.segments[i] : s.original[i];
    EXPECT_TRUE(SameSegment(copy->segments[i], want)) << "segment " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachHostCall, AppendBridgeFailure,
    testing::Values(Failure{"GetArtTransformBounds", 1, false, 0},
                    Failure{"GetArtTransformBounds", 2, false, 0}, Failure{"DuplicateArt", 1, false, 0},
                    Failure{"GetPathSegments", 1, true, 0}, Failure{"SetPathSegments", 1, true, 0},
                    Failure{"GetPathSegments", 2, true, 1}, Failure{"SetPathSegments", 3, true, 2},
                    Failure{"GetPathSegments", 4, true, 3}, Failure{"SetPathSegments", 4, true, 3}));

TEST(AppendBridge, AFailureInTheTemplateItselfLeavesItPartlyWritten) {
  BridgeScene s;
  const BridgeOutline expected = s.Expected(0.5f);
  s.scene.journal().FailNth("SetPathSegments", 2, kInjected);
  ASSERT_EQ(s.Append(0.5f, false), kInjected);
  EXPECT_EQ(s.lastIndex, 1);
  EXPECT_EQ(s.list[2], nullptr);
  EXPECT_TRUE(SameSegment(s.templatePath->segments[0], expected.segments[0]));
  EXPECT_TRUE(SameSegment(s.templatePath->segments[1], s.original[1]));
}

// Circles that yield no bridge: nothing is created or changed, and the
// result is 0.
struct NoBridge {
  const char* what;
  ArtDescription first;
  ArtDescription second;
};

class AppendBridgeNoBridge : public testing::TestWithParam<NoBridge> {};

TEST_P(AppendBridgeNoBridge, LeavesEverythingAsItWas) {
  BridgeScene s(GetParam().first, GetParam().second);
  const int live = s.scene.host().art().Live();
  ASSERT_EQ(s.Append(0.5f, true), kHostNoError);
  EXPECT_EQ(s.lastIndex, 1);
  EXPECT_EQ(s.list, (std::vector<ArtHandle>{s.a, s.b, nullptr, nullptr}));
  EXPECT_TRUE(s.TemplateUntouched());
  EXPECT_EQ(s.scene.host().art().Live(), live);
  EXPECT_EQ(s.scene.journal().Count("DuplicateArt"), 0);
  EXPECT_EQ(s.scene.journal().Count("GetPathSegments"), 0);
  EXPECT_EQ(s.scene.journal().Count("SetPathSegments"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendBridgeNoBridge,
    testing::Values(NoBridge{"zero width", Polygon("A", {{5, 0}, {5, 10}, {5, 20}}), Circle("B", 30, 0, 10)},
                    NoBridge{"inside", Circle("A", 0, 0, 20), Circle("B", 5, 0, 10)},
                    NoBridge{"touching inside", Circle("A", 0, 0, 20), Circle("B", 10, 0, 10)},
                    NoBridge{"same centre", Circle("A", 0, 0, 10), Circle("B", 0, 0, 10)}),
    [](const testing::TestParamInfo<NoBridge>& info) {
      std::string name = info.param.what;
      for (char& c : name) c = c == ' ' ? '_' : c;
      return name;
    });

}  // namespace
