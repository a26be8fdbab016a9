// Float-in, float-out versions of the few libm functions the bridge geometry
// uses. Each takes a 32-bit float, evaluates in double precision and rounds
// the result to a 32-bit float, so that every caller rounds at the same place.
// The geometry calls libm only through these helpers.
#pragma once

#include <cmath>

#include "host_api/host_types.h"

namespace blend_math {

// Rounds a double to the host's 32-bit real (to nearest, ties to even).
//
// A conversion to float rounds in every build of the plug-in: doubles live in
// SSE2 registers (the 32-bit DLL is built with -msse2 -mfpmath=sse, so no x87
// register carries extra precision past the conversion), and the plug-in is
// compiled with -ffp-contract=off, so no multiply and add are fused into one
// rounding around it. The bit-exact tests of the geometry hold both builds to
// this.
inline HostReal RoundToReal(double value) { return static_cast<HostReal>(value); }

// acos of x. An argument that rounding carried just outside [-1, 1] is
// clamped to the nearer end first, so the result is never NaN for a finite x;
// NaN stays NaN.
inline HostReal ClampedAcos(HostReal x) {
  if (x > 1.0f) x = 1.0f;
  if (x < -1.0f) x = -1.0f;
  return RoundToReal(std::acos(static_cast<double>(x)));
}

inline HostReal FloatCos(HostReal x) { return RoundToReal(std::cos(static_cast<double>(x))); }
inline HostReal FloatSin(HostReal x) { return RoundToReal(std::sin(static_cast<double>(x))); }

// The cosine and sine of one angle, each rounded to a 32-bit float: always
// the values FloatCos and FloatSin give. With glibc one sincos evaluation
// yields both (it shares the argument reduction and returns exactly what cos
// and sin return); elsewhere they are two calls.
struct CosineSine {
  HostReal cosine;
  HostReal sine;
};

inline CosineSine FloatCosSin(HostReal x) {
#if defined(__GLIBC__)
  double sine = 0.0;
  double cosine = 0.0;
  ::sincos(static_cast<double>(x), &sine, &cosine);
  return {RoundToReal(cosine), RoundToReal(sine)};
#else
  return {FloatCos(x), FloatSin(x)};
#endif
}

}  // namespace blend_math
