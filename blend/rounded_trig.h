// cos, sin and acos of a 32-bit float, rounded to a 32-bit float, quickly.
//
// Each result is the float that the matching portable_trig.h function's
// result rounds to, bit for bit, on every platform: a plain double
// evaluation whose error is bounded gives a candidate, and only when the
// bounded interval around it does not round to one single float (about one
// result in 2^15) does the double-double function decide.
#pragma once

#include <cstdint>
#include <cstring>

#include "blend/portable_trig.h"

namespace blend_math {

struct RoundedCosSin {
  float cosine;
  float sine;
};

// (float)PortableAcos(x); NaN outside [-1, 1].
float RoundedAcos(float x);

namespace rounded_trig {

inline uint64_t BitsOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline double FromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The candidate y of a result whose exact value lies within 2^-47 |y| of y:
// the evaluations below are within 2^-48 |y| (coefficients rounded to double,
// each operation's rounding), and the argument reduction of cos and sin adds
// at most 2^-100 q <= 2^-80, which is below 2^-50 |y| for |y| >= 2^-30.
// That is less than 2^6 units in the last place of y, and the double-double
// result lies within one unit of the exact value. A double rounds to a float
// by its lowest 29 bits, and only a value at their midpoint (2^28) is a
// boundary within reach: when those bits are more than 2^13 units from the
// midpoint, every value within 2^6 units of y rounds to the float y rounds
// to, the exact value and the double-double result included; rounding is
// monotonic. Returns false otherwise (about one candidate in 2^15), and for
// a nonzero |y| below 2^-30; the caller then takes the double-double result.
// A candidate of 0 is exact (sin 0, acos 1).
inline bool RoundsToOneFloat(double y, float* rounded) {
  const uint64_t bits = BitsOf(y);
  const uint64_t exponent = (bits >> 52) & 0x7FF;
  const uint64_t dropped = bits & 0x1FFFFFFF;
  constexpr uint64_t kMidpoint = 0x10000000;
  constexpr uint64_t kWindow = 0x2000;
  if (exponent < 1023 - 30) {
    if (y != 0.0) return false;
  } else if (dropped - (kMidpoint - kWindow) <= 2 * kWindow) {  // unsigned: within the window
    return false;
  }
  *rounded = static_cast<float>(y);
  return true;
}

// ---- cos and sin ----

// Arguments up to 2^20 in magnitude are reduced here; larger ones (and NaN
// and infinities) go to the double-double functions.
constexpr double kFastLimit = 1048576.0;
constexpr double kTwoOverPi = 0.6366197723675814;
// pi/2 = kHalfPi1 + kHalfPi2 + kHalfPi3 + (below 2^-113): the first two carry
// 30 significant bits each, so q * kHalfPi1 and q * kHalfPi2 are exact for
// q < 2^23.
constexpr double kHalfPi1 = 0x1.921fb54p+0;
constexpr double kHalfPi2 = 0x1.10b46118p-30;
constexpr double kHalfPi3 = 0x1.313198a2e037p-61;
// The reduced argument's error: 2^-52 |r| from the two rounded
// subtractions, and below 2^-110 q from the rounding of q * kHalfPi3 and the
// rest of pi/2.

// sin r and cos r for |r| <= 0.8 by their Taylor polynomials to r^15 and
// r^16; the first omitted terms are below 2^-53 of the result. The
// polynomials in s = r^2 are evaluated in pairs of terms (Estrin's scheme),
// which shortens the chain of dependent operations; the terms fall off
// quickly, so the roundings stay within a few units of 2^-53.
inline double SinPolynomial(double r, double s, double s2, double s4) {
  const double low = -0.16666666666666666 + s * 0.008333333333333333;
  const double middle = -0.0001984126984126984 + s * 2.7557319223985893e-06;
  const double high = (-2.505210838544172e-08 + s * 1.6059043836821613e-10) + s2 * -7.647163731819816e-13;
  const double p = low + s2 * middle + s4 * high;
  return r + r * s * p;
}

inline double CosPolynomial(double s, double s2, double s4) {
  const double low = 0.041666666666666664 + s * -0.001388888888888889;
  const double middle = 2.48015873015873e-05 + s * -2.755731922398589e-07;
  const double high = (2.08767569878681e-09 + s * -1.1470745597729725e-11) + s2 * 4.779477332387385e-14;
  const double p = low + s2 * middle + s4 * high;
  return (1.0 - 0.5 * s) + s2 * p;
}

}  // namespace rounded_trig

// The cosine and sine of x: {(float)PortableCos(x), (float)PortableSin(x)},
// from one argument reduction. Inline: the geometry takes eight of them per
// bridge, and they overlap where the calls would not.
inline RoundedCosSin RoundedCosAndSin(float x) {
  const double d = x;
  const double magnitude = d < 0.0 ? -d : d;
  if (!(magnitude <= rounded_trig::kFastLimit)) {
    return {static_cast<float>(PortableCos(x)), static_cast<float>(PortableSin(x))};
  }
  // |x| = q pi/2 + r, |r| <= pi/4 plus the rounding of q's estimate. The
  // first subtraction is exact (the two lie within a factor of 2), q *
  // kHalfPi1 and q * kHalfPi2 are exact.
  const int q = static_cast<int>(magnitude * rounded_trig::kTwoOverPi + 0.5);
  const double qd = q;
  const double r =
      ((magnitude - qd * rounded_trig::kHalfPi1) - qd * rounded_trig::kHalfPi2) - qd * rounded_trig::kHalfPi3;
  const double s = r * r;
  const double s2 = s * s;
  const double s4 = s2 * s2;
  // cos |x| is +-cos r in even quadrants and +-sin r in odd ones, sin |x| the
  // other; negative for q mod 4 in {1, 2} and {2, 3}; sin is odd. Chosen on
  // the bits, without branches: the quadrant is not predictable.
  const uint64_t cosR = rounded_trig::BitsOf(rounded_trig::CosPolynomial(s, s2, s4));
  const uint64_t sinR = rounded_trig::BitsOf(rounded_trig::SinPolynomial(r, s, s2, s4));
  const uint64_t odd = uint64_t{0} - static_cast<uint64_t>(q & 1);  // all ones for odd q
  const uint64_t signOfX = rounded_trig::BitsOf(d) & (uint64_t{1} << 63);
  const double cosine =
      rounded_trig::FromBits(((cosR & ~odd) | (sinR & odd)) ^ (static_cast<uint64_t>((q + 1) & 2) << 62));
  const double sine =
      rounded_trig::FromBits(((sinR & ~odd) | (cosR & odd)) ^ (static_cast<uint64_t>(q & 2) << 62) ^ signOfX);
  RoundedCosSin result;
  if (!rounded_trig::RoundsToOneFloat(cosine, &result.cosine))
    result.cosine = static_cast<float>(PortableCos(x));
  if (!rounded_trig::RoundsToOneFloat(sine, &result.sine)) result.sine = static_cast<float>(PortableSin(x));
  return result;
}

}  // namespace blend_math
