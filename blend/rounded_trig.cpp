#include "blend/rounded_trig.h"

#include "blend/portable_trig.h"

namespace blend_math {

using rounded_trig::RoundsToOneFloat;

namespace {

// ---- acos ----

// asin s for 0 <= s <= 1/2: s + s t P(t) with t = s^2 and P the series'
// coefficients (2k)! / (4^k (k!)^2 (2k + 1)) for k = 1 to 22; the omitted
// terms are below 2^-53 s. Every term is positive, so the roundings of the
// four interleaved Horner chains and their joining add up to below 2^-49 of
// the result.
double AsinSeries(double s) {
  const double t = s * s;
  const double t2 = t * t;
  const double t4 = t2 * t2;
  // Terms k = 1 + 4j + i in chain i, each chain in powers of t^4 (four
  // independent chains, joined by t, t^2 and t^3).
  const double c0 =
      0.16666666666666666 +
      t4 * (0.022372159090909092 +
            t4 * (0.009761609529194078 +
                  t4 * (0.005740037670841924 + t4 * (0.003880964558837669 + t4 * (0.002846178401108942)))));
  const double c1 =
      0.075 +
      t4 * (0.017352764423076924 +
            t4 * (0.008390335809616815 +
                  t4 * (0.005153309682319905 + t4 * (0.0035692053938259347 + t4 * (0.00265787063820729)))));
  const double c2 = 0.044642857142857144 +
                    t4 * (0.01396484375 + t4 * (0.0073125258735988454 +
                                                t4 * (0.004660143486915096 + t4 * (0.003297059503473485))));
  const double c3 =
      0.030381944444444444 +
      t4 * (0.011551800896139705 +
            t4 * (0.006447210311889649 + t4 * (0.004240907093679363 + t4 * (0.0030578216492580306))));
  const double p = (c0 + t * c1) + t2 * (c2 + t * c3);
  return s + s * t * p;
}

// pi/2 and pi as doubles: 2^-53 and 2^-52 absolute error, below 2^-53 of any
// result they are part of (those are at least pi/3).
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

}  // namespace

float RoundedAcos(float x) {
  const double d = x;
  if (!(d >= -1.0 && d <= 1.0)) return static_cast<float>(PortableAcos(x));
  double y;
  if (d >= -0.5 && d <= 0.5) {
    // acos x = pi/2 - asin x, and asin is odd.
    y = d < 0.0 ? kHalfPi + AsinSeries(-d) : kHalfPi - AsinSeries(d);
  } else {
    // acos x = 2 asin(sqrt((1 - x)/2)) for x > 1/2, pi minus that of -x for
    // x < -1/2; 1 -+ x and the halving are exact, the square root is
    // correctly rounded.
    const double z = (d > 0.0 ? 1.0 - d : 1.0 + d) * 0.5;
    const double twice = 2.0 * AsinSeries(__builtin_sqrt(z));
    y = d > 0.0 ? twice : kPi - twice;
  }
  float rounded;
  if (RoundsToOneFloat(y, &rounded)) return rounded;
  return static_cast<float>(PortableAcos(x));
}

}  // namespace blend_math
