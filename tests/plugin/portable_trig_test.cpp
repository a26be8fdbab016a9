// The plug-in's own acos, cos and sin against glibc's, each result rounded
// to a float as the geometry rounds it: a sample of every float here (the
// whole range is scripts/math-check.sh exhaustive), and the edges.
#include "blend/portable_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "blend/float_math.h"

namespace {

float FromBits(uint32_t bits) {
  float x = 0.0f;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Equal floats, or both NaN (a NaN's payload is not compared).
::testing::AssertionResult SameFloat(const char* what, float x, float own, float glibc) {
  if ((std::isnan(own) && std::isnan(glibc)) || std::memcmp(&own, &glibc, sizeof own) == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << what << "(" << std::hexfloat << x << "): own " << own << ", glibc " << glibc;
}

void ExpectGlibcResults(float x) {
  const double d = x;
  EXPECT_TRUE(SameFloat("cos", x, blend_math::FloatCos(x), blend_math::RoundToReal(std::cos(d))));
  EXPECT_TRUE(SameFloat("sin", x, blend_math::FloatSin(x), blend_math::RoundToReal(std::sin(d))));
  if (x >= -1.0f && x <= 1.0f) {
    EXPECT_TRUE(SameFloat("acos", x, blend_math::ClampedAcos(x), blend_math::RoundToReal(std::acos(d))));
  }
}

TEST(PortableTrigTest, EqualsGlibcOnEveryFloatOfASample) {
  // A stride prime to 2^32 passes through every exponent and sign.
  for (uint64_t bits = 12345; bits < (uint64_t{1} << 32); bits += 65521) {
    ExpectGlibcResults(FromBits(static_cast<uint32_t>(bits)));
    if (HasFailure()) return;
  }
}

TEST(PortableTrigTest, EqualsGlibcAtTheEdges) {
  const float max = std::numeric_limits<float>::max();
  const float edges[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -0.5f, std::nextafter(0.5f, 1.0f),
                         std::nextafter(1.0f, 0.0f), std::nextafter(-1.0f, 0.0f), 0.78539816f,
                         std::nextafter(0.78539816f, 1.0f), 1.5707964f, 3.1415927f, 6.2831855f,
                         std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(), 1e-20f,
                         // close to multiples of pi/2 far out
                         16777216.0f, 1e10f, 1.0e22f, 1.7e38f, max, -max,
                         std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
  for (float x : edges) ExpectGlibcResults(x);
  EXPECT_EQ(std::signbit(blend_math::PortableSin(-0.0f)), true);
  EXPECT_TRUE(std::isnan(blend_math::PortableAcos(1.5f)));
}

}  // namespace
