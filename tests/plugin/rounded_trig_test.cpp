// The quick float results of rounded_trig.h against the double-double
// functions rounded to a float, and against glibc: where the argument
// reduction is hardest (next to multiples of pi/2), at the edges of the quick
// path (2^20, results near 2^-30, acos at +-1/2 and +-1) and at arguments
// whose candidate lands next to a rounding boundary, so that the
// double-double result decides.
#include "blend/rounded_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

uint32_t Bits(float x) {
  uint32_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

float FromBits(uint32_t bits) {
  float x = 0.0f;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The same float, bit for bit (NaN against NaN, whatever its payload).
::testing::AssertionResult Same(const char* what, float x, float quick, float reference) {
  if ((std::isnan(quick) && std::isnan(reference)) || Bits(quick) == Bits(reference))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << what << "(" << std::hexfloat << x << "): quick " << quick << ", reference " << reference;
}

void ExpectSameResults(float x) {
  const blend_math::RoundedCosSin both = blend_math::RoundedCosAndSin(x);
  EXPECT_TRUE(Same("cos", x, both.cosine, static_cast<float>(blend_math::PortableCos(x))));
  EXPECT_TRUE(Same("sin", x, both.sine, static_cast<float>(blend_math::PortableSin(x))));
  EXPECT_TRUE(Same("glibc cos", x, both.cosine, static_cast<float>(std::cos(static_cast<double>(x)))));
  EXPECT_TRUE(Same("glibc sin", x, both.sine, static_cast<float>(std::sin(static_cast<double>(x)))));
  if (x >= -1.0f && x <= 1.0f) {
    const float acos = blend_math::RoundedAcos(x);
    EXPECT_TRUE(Same("acos", x, acos, static_cast<float>(blend_math::PortableAcos(x))));
    EXPECT_TRUE(Same("glibc acos", x, acos, static_cast<float>(std::acos(static_cast<double>(x)))));
  }
}

// `count` floats on each side of `centre` (consecutive bit patterns), both
// signs.
void ExpectSameAround(float centre, int count) {
  const uint32_t bits = Bits(std::fabs(centre));
  for (int step = -count; step <= count; ++step) {
    const float x = FromBits(bits + static_cast<uint32_t>(step));
    ExpectSameResults(x);
    ExpectSameResults(-x);
  }
}

TEST(RoundedTrigTest, EqualsTheDoubleDoubleResultsWhereTheQuickPathIsTight) {
  const struct {
    const char* where;
    std::vector<float> centres;
    int count;
  } cases[] = {
      {"edges of the quick path and of acos's branches",
       {1048576.0f, 0.5f, 1.0f, 0.78539816f, 9.3132257e-10f /* 2^-30 */, 1e-38f, 1.4e-45f},
       8},
      {"candidates next to a rounding boundary",
       {0x1.000848p+0f, 0x1.009dcep+0f, 0x1.0019p-3f, 0x1.003c8p-3f},
       0},
      {"zero and a whole binade's start", {0.0f, 2.0f, 4.0f, 8.0f}, 64},
  };
  for (const auto& group : cases) {
    SCOPED_TRACE(group.where);
    for (float centre : group.centres) ExpectSameAround(centre, group.count);
  }
  // The floats nearest to multiples of pi/2, where the reduced argument
  // loses the most bits, up to the quick path's limit.
  for (int k = 1; k < 667000; k += (k < 4000 ? 1 : 997)) {
    ExpectSameAround(static_cast<float>(k * 1.5707963267948966), 2);
    if (HasFailure()) return;
  }
}

TEST(RoundedTrigTest, EqualsTheDoubleDoubleResultsOnEveryFloatOfTheBridgesRange) {
  // The angles a bridge takes (within three turns) and every acos argument:
  // every 257th float of [2^-8, 8], both signs.
  for (uint32_t bits = Bits(0.00390625f); bits <= Bits(8.0f); bits += 257) {
    ExpectSameResults(FromBits(bits));
    ExpectSameResults(-FromBits(bits));
    if (HasFailure()) return;
  }
}

}  // namespace
