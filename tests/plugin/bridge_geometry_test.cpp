// The bridge between two circles: the worked cases, the cases without a
// bridge, the guards against NaN, the rounding order and the order of the
// distance and angle calls.
#include "blend/bridge_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "blend/float_math.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The rate fraction as the effect forms it from a whole viscosity.
HostReal Rate(int viscosity) { return static_cast<HostReal>(viscosity / 100.0); }

std::optional<BridgeOutline> Bridge(BlendCircle first, BlendCircle second, HostReal a, HostReal b = 2.0f) {
  return ComputeBridgeOutline(first, second, a, b);
}

double Distance(HostPoint from, HostPoint to) { return std::hypot(to.h - from.h, to.v - from.v); }

// The worked figures are rounded to four decimals.
constexpr double kFourDecimals = 5.001e-5;

struct WorkedCase {
  const char* name;
  BlendCircle first, second;
  int viscosity;
  HostPoint anchors[4];
  double length1, length2;  // handle lengths on the first and second circle
};

// clang-format off
const WorkedCase kWorkedCases[] = {
    {"apart", {{0, 0}, 10}, {{30, 0}, 10}, 50,
     {{7.0711f, 7.0711f}, {22.9289f, 7.0711f}, {22.9289f, -7.0711f}, {7.0711f, -7.0711f}}, 7.9289, 7.9289},
    {"full rate", {{0, 0}, 10}, {{30, 0}, 10}, 100, {{0, 10}, {30, 10}, {30, -10}, {0, -10}}, 15, 15},
    {"lowest rate", {{0, 0}, 10}, {{30, 0}, 10}, 1,
     {{9.9988f, 0.1571f}, {20.0012f, 0.1571f}, {20.0012f, -0.1571f}, {9.9988f, -0.1571f}}, 0.2, 0.2},
    {"touching from outside", {{0, 0}, 10}, {{20, 0}, 10}, 50,
     {{7.0711f, 7.0711f}, {12.9289f, 7.0711f}, {12.9289f, -7.0711f}, {7.0711f, -7.0711f}}, 2.929, 2.929},
    {"crossing", {{0, 0}, 10}, {{10, 0}, 10}, 50,
     {{2.5882f, 9.6593f}, {7.4118f, 9.6593f}, {7.4118f, -9.6593f}, {2.5882f, -9.6593f}}, 2.4118, 2.4118},
    {"unequal", {{0, 0}, 20}, {{50, 0}, 10}, 50,
     {{15.4919f, 12.6491f}, {43.6754f, 7.7460f}, {43.6754f, -7.7460f}, {15.4919f, -12.6491f}}, 19.0712, 9.5356},
    {"far apart", {{0, 0}, 10}, {{200, 0}, 10}, 50,
     {{7.0711f, 7.0711f}, {192.9289f, 7.0711f}, {192.9289f, -7.0711f}, {7.0711f, -7.0711f}}, 10, 10},
    {"second above the first", {{0, 0}, 10}, {{0, 30}, 10}, 50,
     {{-7.0711f, 7.0711f}, {-7.0711f, 22.9289f}, {7.0711f, 22.9289f}, {7.0711f, 7.0711f}}, 7.9289, 7.9289},
};
// clang-format on

// The four non-retracted handles: out of 0, in of 1, out of 2, in of 3.
void HandlesOf(const BridgeOutline& outline, HostPoint handles[4]) {
  handles[0] = outline.segments[0].out;
  handles[1] = outline.segments[1].in;
  handles[2] = outline.segments[2].out;
  handles[3] = outline.segments[3].in;
}

TEST(BridgeGeometry, WorkedCasesReproduceTheirFigures) {
  for (const WorkedCase& worked : kWorkedCases) {
    SCOPED_TRACE(worked.name);
    const auto outline = Bridge(worked.first, worked.second, Rate(worked.viscosity));
    ASSERT_TRUE(outline.has_value());
    const PathSegment* s = outline->segments;
    HostPoint handles[4];
    HandlesOf(*outline, handles);
    const double lengths[4] = {worked.length1, worked.length2, worked.length2, worked.length1};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(s[i].p.h, worked.anchors[i].h, kFourDecimals) << "anchor " << i;
      EXPECT_NEAR(s[i].p.v, worked.anchors[i].v, kFourDecimals) << "anchor " << i;
      EXPECT_NEAR(Distance(s[i].p, handles[i]), lengths[i], 2e-4) << "handle " << i;
      EXPECT_FALSE(s[i].corner);
    }
    // Segments 0 and 2 arrive along a chord, 1 and 3 leave along one.
    EXPECT_EQ(0, std::memcmp(&s[0].in, &s[0].p, sizeof(HostPoint)));
    EXPECT_EQ(0, std::memcmp(&s[1].out, &s[1].p, sizeof(HostPoint)));
    EXPECT_EQ(0, std::memcmp(&s[2].in, &s[2].p, sizeof(HostPoint)));
    EXPECT_EQ(0, std::memcmp(&s[3].out, &s[3].p, sizeof(HostPoint)));
  }
}

TEST(BridgeGeometry, HandlesPointAlongTheCurves) {
  const HostPoint halfRate[4] = {
      {12.6777f, 1.4645f}, {17.3223f, 1.4645f}, {17.3223f, -1.4645f}, {12.6777f, -1.4645f}};
  // At full rate both curves run straight along the outer tangents.
  const HostPoint fullRate[4] = {{15, 10}, {15, 10}, {15, -10}, {15, -10}};
  for (const auto& [viscosity, expected] : {std::pair{50, halfRate}, std::pair{100, fullRate}}) {
    const auto outline = Bridge({{0, 0}, 10}, {{30, 0}, 10}, Rate(viscosity));
    ASSERT_TRUE(outline.has_value());
    HostPoint handles[4];
    HandlesOf(*outline, handles);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(handles[i].h, expected[i].h, kFourDecimals) << viscosity << " handle " << i;
      EXPECT_NEAR(handles[i].v, expected[i].v, kFourDecimals) << viscosity << " handle " << i;
    }
  }
}

TEST(BridgeGeometry, DeepOverlapScalesTheHandlesByTheCloseness) {
  const auto outline = Bridge({{0, 0}, 10}, {{2, 0}, 9}, Rate(50));
  ASSERT_TRUE(outline.has_value());
  // s = 0.0096 to four decimals; L1 = 10 s and L2 = 9 s.
  EXPECT_NEAR(Distance(outline->segments[0].p, outline->segments[0].out) / 10, 0.0096, kFourDecimals);
  EXPECT_NEAR(Distance(outline->segments[1].p, outline->segments[1].in) / 9, 0.0096, kFourDecimals);
}

TEST(BridgeGeometry, NoBridgeForFlatOrContainedCircles) {
  EXPECT_FALSE(Bridge(CircleFromBounds({0, 10, 0, -10}), {{30, 0}, 10}, Rate(50)));
  EXPECT_FALSE(Bridge({{30, 0}, 10}, CircleFromBounds({0, 10, 0, -10}), Rate(50)));
  EXPECT_FALSE(Bridge({{0, 0}, -5}, {{30, 0}, 10}, Rate(50)));
  EXPECT_FALSE(Bridge({{0, 0}, 20}, {{5, 0}, 10}, Rate(50)));   // inside
  EXPECT_FALSE(Bridge({{5, 0}, 10}, {{0, 0}, 20}, Rate(50)));   // inside, either order
  EXPECT_FALSE(Bridge({{0, 0}, 20}, {{10, 0}, 10}, Rate(50)));  // touching from inside
  EXPECT_FALSE(Bridge({{3, 4}, 10}, {{3, 4}, 10}, Rate(50)));   // same centre
}

TEST(BridgeGeometry, ContainmentComparesTheRadiusDifferenceRoundedToFloat) {
  // 1 - 2^-30 rounds to 1, which is not below d = 1: no bridge, although the
  // tiny circle reaches outside the first one.
  const float tiny = std::ldexp(1.0f, -30);
  EXPECT_FALSE(Bridge({{0, 0}, 1}, {{1, 0}, tiny}, Rate(50)));
  EXPECT_TRUE(Bridge({{0, 0}, 1}, {{std::nextafter(1.0f, 2.0f), 0}, tiny}, Rate(50)));
}

TEST(BridgeGeometry, CircleFromBoundsUsesTheWidthAndSumsInDouble) {
  const BlendCircle circle = CircleFromBounds({1, 8, 5, -2});
  EXPECT_EQ(circle.centre.h, 3.0f);
  EXPECT_EQ(circle.centre.v, 3.0f);
  EXPECT_EQ(circle.radius, 2.0f);
  // left + right overflows float but not double.
  const BlendCircle far = CircleFromBounds({3.0e38f, 0, 3.2e38f, 0});
  EXPECT_EQ(far.centre.h, static_cast<float>((3.0e38 + 3.2e38) * 0.5));
  EXPECT_TRUE(std::isfinite(far.radius));
}

TEST(BridgeGeometry, InverseCosineArgumentsAreClampedIntoRange) {
  using blend_math::ClampedAcos;
  EXPECT_EQ(ClampedAcos(std::nextafter(1.0f, 2.0f)), 0.0f);
  EXPECT_EQ(ClampedAcos(std::nextafter(-1.0f, -2.0f)), static_cast<float>(std::acos(-1.0)));
  EXPECT_TRUE(std::isnan(ClampedAcos(kNaN)));
}

TEST(BridgeGeometry, NearTangentCirclesNeverGiveNaN) {
  // Centres at distance r1 + r2 or |r1 - r2|, a few floats either side, over
  // a wide range of scales: the inverse-cosine arguments sit at +/-1 here.
  std::mt19937 random(5);
  std::uniform_real_distribution<double> exponent(-12, 24), turn(-3.2, 3.2);
  std::uniform_int_distribution<int> nudge(-3, 3);
  int bridges = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    const float r1 = static_cast<float>(std::exp2(exponent(random)));
    const float r2 = static_cast<float>(std::exp2(exponent(random)));
    float d = static_cast<float>(trial % 2 ? double(r1) + r2 : std::fabs(double(r1) - r2));
    for (int n = nudge(random); n != 0; n += n > 0 ? -1 : 1) d = std::nextafter(d, n > 0 ? kInf : 0.0f);
    const double t = turn(random);
    const BlendCircle second = {{static_cast<float>(d * std::cos(t)), static_cast<float>(d * std::sin(t))},
                                r2};
    const auto outline = Bridge({{0, 0}, r1}, second, Rate(1 + trial % 100));
    if (!outline) continue;
    ++bridges;
    for (const PathSegment& s : outline->segments) {
      ASSERT_TRUE(std::isfinite(s.p.h) && std::isfinite(s.p.v) && std::isfinite(s.in.h) &&
                  std::isfinite(s.in.v) && std::isfinite(s.out.h) && std::isfinite(s.out.v))
          << "r1 " << r1 << " r2 " << r2 << " d " << d;
    }
  }
  EXPECT_GT(bridges, 5000);
}

TEST(BridgeGeometry, NonFiniteInputGivesNoBridge) {
  const BlendCircle good = {{0, 0}, 10};
  const BlendCircle other = {{30, 0}, 10};
  for (const float bad : {kNaN, kInf, -kInf}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(Bridge({{bad, 0}, 10}, other, Rate(50)));
    EXPECT_FALSE(Bridge(good, {{30, bad}, 10}, Rate(50)));
    EXPECT_FALSE(Bridge({{0, 0}, bad}, other, Rate(50)));
    EXPECT_FALSE(Bridge(good, {{30, 0}, bad}, Rate(50)));
    EXPECT_FALSE(Bridge(good, other, bad));
    EXPECT_FALSE(Bridge(good, other, Rate(50), bad));
  }
  // Finite input whose distance or anchors overflow the float range.
  EXPECT_FALSE(Bridge({{-3e38f, 0}, 10}, {{3e38f, 0}, 10}, Rate(50)));
  EXPECT_FALSE(Bridge({{3.3e38f, 0}, 1e38f}, {{3.3e38f, 3e38f}, 1e38f}, Rate(50)));
  // Every anchor in range, but at a rate fraction of 5.1 one handle runs 2e38
  // past an anchor at +/-2e38: below the circles the out handle of segment 0
  // overflows, above them the in handle of segment 3.
  for (const float v : {-2e38f, 2e38f}) {
    EXPECT_FALSE(Bridge({{0, v}, 1e38f}, {{3e38f, v}, 1e30f}, 5.1f)) << v;
  }
}

// Point math that records each call and can answer NaN on a chosen call.
struct CallLog {
  std::vector<std::string> calls;
  std::vector<HostPoint> points;
  int nanOnCall = -1;
};
CallLog* g_log = nullptr;

HostReal Record(const char* name, HostReal value, const HostPoint* a, const HostPoint* b) {
  g_log->calls.push_back(name);
  g_log->points.push_back(*a);
  g_log->points.push_back(*b);
  return static_cast<int>(g_log->calls.size()) - 1 == g_log->nanOnCall ? kNaN : value;
}
HostReal RecordedDistance(const HostPoint* a, const HostPoint* b) {
  return Record("distance", StandardPointMath().distance(a, b), a, b);
}
HostReal RecordedAngle(const HostPoint* a, const HostPoint* b) {
  return Record("angle", StandardPointMath().angle(a, b), a, b);
}
const PointMath kRecordingMath = {&RecordedDistance, &RecordedAngle};

class BridgeCalls : public ::testing::Test {
 protected:
  void SetUp() override { g_log = &log_; }
  void TearDown() override { g_log = nullptr; }
  CallLog log_;
};

TEST_F(BridgeCalls, DistanceAndAngleAreAskedInTheirOrder) {
  const BlendCircle first = {{0, 0}, 10}, second = {{10, 0}, 10};
  const auto outline = ComputeBridgeOutline(first, second, Rate(50), 2, kRecordingMath);
  ASSERT_TRUE(outline.has_value());
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"distance", "angle", "distance"}));
  const HostPoint expected[6] = {first.centre,  second.centre,          first.centre,
                                 second.centre, outline->segments[0].p, outline->segments[1].p};
  ASSERT_EQ(log_.points.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(0, std::memcmp(&log_.points[i], &expected[i], sizeof(HostPoint)));
}

TEST_F(BridgeCalls, NoBridgeStopsAfterTheCallsItNeeded) {
  EXPECT_FALSE(ComputeBridgeOutline({{0, 0}, 0}, {{30, 0}, 10}, Rate(50), 2, kRecordingMath));
  EXPECT_TRUE(log_.calls.empty());
  EXPECT_FALSE(ComputeBridgeOutline({{0, 0}, 20}, {{5, 0}, 10}, Rate(50), 2, kRecordingMath));
  EXPECT_EQ(log_.calls, std::vector<std::string>{"distance"});
}

TEST_F(BridgeCalls, NaNFromThePointMathGivesNoBridge) {
  for (int call = 0; call < 3; ++call) {
    log_ = CallLog{};
    log_.nanOnCall = call;
    EXPECT_FALSE(ComputeBridgeOutline({{0, 0}, 10}, {{30, 0}, 10}, Rate(50), 2, kRecordingMath)) << call;
  }
}

// Outlines fixed bit for bit, each on a case where one rounding step, done
// differently, changes at least one coordinate. Cross-checked against an
// independent evaluation of the same rules.
struct ExactCase {
  BlendCircle first, second;
  int viscosity;
  float coordinates[24];  // anchor, in, out of segments 0 to 3
};

const ExactCase kExactCases[] = {
    // g1 and g2 kept in double, not rounded to float
    {{{0, 0}, 23}, {{-52, 25}, 34}, 30, {-0x1.6ecddap+4f, -0x1.da4c9p+0f, -0x1.6ecddap+4f, -0x1.da4c9p+0f,
                                         -0x1.727424p+4f, 0x1.f07cfp-1f,  -0x1.ddd4f2p+4f, -0x1.9d5cbp-1f,
                                         -0x1.aafee2p+4f, 0x1.eaf8b6p+0f, -0x1.ddd4f2p+4f, -0x1.9d5cbp-1f,
                                         -0x1.2052a6p+4f, 0x1.7d42d6p+4f, -0x1.2052a6p+4f, 0x1.7d42d6p+4f,
                                         -0x1.22a14p+4f,  0x1.3a5394p+4f, -0x1.9bd7b2p+3f, 0x1.30fe14p+4f,
                                         -0x1.e6f0ccp+3f, 0x1.17a3fcp+4f, -0x1.9bd7b2p+3f, 0x1.30fe14p+4f}},
    // each anchor-angle sum rounded once, not after every term
    {{{0, 0}, 29}, {{-46, 22}, 10}, 53, {-0x1.c829e8p+4f, -0x1.53a9dep+2f, -0x1.c829e8p+4f, -0x1.53a9dep+2f,
                                         -0x1.fc6e7ep+4f, 0x1.87bab4p+3f,  -0x1.68d368p+5f, 0x1.814a12p+3f,
                                         -0x1.37c83ap+5f, 0x1.92f3f6p+3f,  -0x1.68d368p+5f, 0x1.814a12p+3f,
                                         -0x1.2d7886p+5f, 0x1.b8db4p+4f,   -0x1.2d7886p+5f, 0x1.b8db4p+4f,
                                         -0x1.121fc4p+5f, 0x1.66f4ap+4f,   -0x1.b87406p+3f, 0x1.98682ep+4f,
                                         -0x1.d79c94p+4f, 0x1.10da0cp+4f,  -0x1.b87406p+3f, 0x1.98682ep+4f}},
    // cosine and sine rounded to float before they scale the length
    {{{-0.3f, 0}, 5.75f},
     {{37, -24}, 35},
     92,
     {-0x1.96c85cp-4f, 0x1.6fc69ap+2f,  -0x1.96c85cp-4f, 0x1.6fc69ap+2f,  0x1.07a0ccp+2f,  0x1.6658d4p+2f,
      0x1.d7bfeep+4f,  0x1.45dfa6p+3f,  0x1.18f96cp+2f,  0x1.2aa4fap+2f,  0x1.d7bfeep+4f,  0x1.45dfa6p+3f,
      0x1.63414p+1f,   -0x1.f539a6p+4f, 0x1.63414p+1f,   -0x1.f539a6p+4f, -0x1.4d2f36p+1f, -0x1.8cf2e8p+2f,
      -0x1.5c958cp+2f, -0x1.48352ep+1f, -0x1.c83b2ap+1f, -0x1.95e798p+2f, -0x1.5c958cp+2f, -0x1.48352ep+1f}},
    // the law-of-cosines quotient rounded to float before acos
    {{{0, 0}, 19}, {{23, -3}, 11}, 28, {0x1.00f3dp+4f,  0x1.44e8b4p+3f,  0x1.00f3dp+4f,  0x1.44e8b4p+3f,
                                        0x1.1cc68cp+4f, 0x1.d9c9ap+2f,   0x1.497818p+4f, 0x1.eeec0cp+2f,
                                        0x1.2c0ea8p+4f, 0x1.d48696p+2f,  0x1.497818p+4f, 0x1.eeec0cp+2f,
                                        0x1.1eb55ap+4f, -0x1.9833f8p+3f, 0x1.1eb55ap+4f, -0x1.9833f8p+3f,
                                        0x1.03f92ap+4f, -0x1.7c5b98p+3f, 0x1.9d5eb8p+3f, -0x1.bddbap+3f,
                                        0x1.e9bb2p+3f,  -0x1.770fa2p+3f, 0x1.9d5eb8p+3f, -0x1.bddbap+3f}},
    // m rounded to float before the closeness factor scales it
    {{{0, 0}, 16}, {{-1, 6}, 10}, 92, {-0x1.4966cep+2f, 0x1.e4c944p+3f, -0x1.4966cep+2f, 0x1.e4c944p+3f,
                                       -0x1.39595cp+2f, 0x1.e78356p+3f, -0x1.11b496p+2f, 0x1.ee5588p+3f,
                                       -0x1.1bb76cp+2f, 0x1.ec992p+3f,  -0x1.11b496p+2f, 0x1.ee5588p+3f,
                                       -0x1.ede8aap-1f, 0x1.ffff7cp+3f, -0x1.ede8aap-1f, 0x1.ffff7cp+3f,
                                       -0x1.992422p-1f, 0x1.fffab2p+3f, -0x1.6e0d58p-5f, 0x1.ffff7ep+3f,
                                       -0x1.3d0388p-2f, 0x1.fff96ep+3f, -0x1.6e0d58p-5f, 0x1.ffff7ep+3f}},
    // s rounded to float before it scales the radii (deep overlap: c < 1)
    {{{0, 0}, 5}, {{4, 0}, 4}, 50, {0x1.1e5d52p+1f, 0x1.1e2e04p+2f,  0x1.1e5d52p+1f, 0x1.1e2e04p+2f,
                                    0x1.890a14p+1f, 0x1.037e6ap+2f,  0x1.041d5ap+2f, 0x1.ffef12p+1f,
                                    0x1.a8d102p+1f, 0x1.00bbdap+2f,  0x1.041d5ap+2f, 0x1.ffef12p+1f,
                                    0x1.041d5ap+2f, -0x1.ffef12p+1f, 0x1.041d5ap+2f, -0x1.ffef12p+1f,
                                    0x1.a8d102p+1f, -0x1.00bbdap+2f, 0x1.1e5d52p+1f, -0x1.1e2e04p+2f,
                                    0x1.890a14p+1f, -0x1.037e6ap+2f, 0x1.1e5d52p+1f, -0x1.1e2e04p+2f}},
    // S = r1 + r2 kept in double (here it is not a float)
    {{{0, 0}, 15728640},
     {{15728696, 0}, 14.5f},
     57,
     {0x1.dfffd4p+23f, 0x1.a2dcdap+14f, 0x1.dfffd4p+23f, 0x1.a2dcdap+14f, 0x1.e0003p+23f,
      0x1.c319fcp+3f,  0x1.e00076p+23f, 0x1.c4ff4ap+3f,  0x1.e00076p+23f, 0x1.c52b18p+3f,
      0x1.e00076p+23f, 0x1.c4ff4ap+3f,  0x1.e00076p+23f, -0x1.c4ff4ap+3f, 0x1.e00076p+23f,
      -0x1.c4ff4ap+3f, 0x1.e00076p+23f, -0x1.c52b18p+3f, 0x1.dfffd4p+23f, -0x1.a2dcdap+14f,
      0x1.e0003p+23f,  -0x1.c319fcp+3f, 0x1.dfffd4p+23f, -0x1.a2dcdap+14f}},
    // r1 - r2 kept in double inside the tangent-angle quotient
    {{{0, 0}, 18612224},
     {{18612260, 0}, 11},
     67,
     {0x1.1bffeap+24f, 0x1.b3fc78p+14f, 0x1.1bffeap+24f, 0x1.b3fc78p+14f, 0x1.1c0014p+24f,
      0x1.2e72c8p+3f,  0x1.1c002ap+24f, 0x1.2f3fdep+3f,  0x1.1c002ap+24f, 0x1.2f847p+3f,
      0x1.1c002ap+24f, 0x1.2f3fdep+3f,  0x1.1c002ap+24f, -0x1.2f3fdep+3f, 0x1.1c002ap+24f,
      -0x1.2f3fdep+3f, 0x1.1c002ap+24f, -0x1.2f847p+3f,  0x1.1bffeap+24f, -0x1.b3fc78p+14f,
      0x1.1c0014p+24f, -0x1.2e72c8p+3f, 0x1.1bffeap+24f, -0x1.b3fc78p+14f}},
};

TEST(BridgeGeometry, RoundingStepsMatchBitForBit) {
  for (const ExactCase& exact : kExactCases) {
    const auto outline = Bridge(exact.first, exact.second, Rate(exact.viscosity));
    ASSERT_TRUE(outline.has_value());
    const PathSegment* s = outline->segments;
    for (int i = 0; i < 4; ++i) {
      const float got[6] = {s[i].p.h, s[i].p.v, s[i].in.h, s[i].in.v, s[i].out.h, s[i].out.v};
      for (int j = 0; j < 6; ++j) {
        EXPECT_EQ(got[j], exact.coordinates[6 * i + j])
            << "r1 " << exact.first.radius << " r2 " << exact.second.radius << " segment " << i << " value "
            << j;
      }
    }
  }
}

}  // namespace
