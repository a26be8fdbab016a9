// Float-in, float-out versions of the few libm functions the bridge geometry
// uses. Each takes a 32-bit float, evaluates in double precision and rounds
// the result to a 32-bit float, so that every caller rounds at the same place.
// acos, cos and sin are the plug-in's own (rounded_trig.h, which rounds
// portable_trig.h's results): the platform's differ (msvcrt's acos,
// mingw-w64's x87 cos and sin in the DLL), and these give glibc's results on
// every argument compared, on every platform.
#pragma once

#include <cmath>

#include "blend/rounded_trig.h"
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
  return RoundedAcos(x);
}

inline HostReal FloatCos(HostReal x) { return RoundedCosAndSin(x).cosine; }
inline HostReal FloatSin(HostReal x) { return RoundedCosAndSin(x).sine; }

// The cosine and sine of one angle, each rounded to a 32-bit float: always
// the values FloatCos and FloatSin give, from one argument reduction.
struct CosineSine {
  HostReal cosine;
  HostReal sine;
};

inline CosineSine FloatCosSin(HostReal x) {
  const RoundedCosSin both = RoundedCosAndSin(x);
  return {both.cosine, both.sine};
}

}  // namespace blend_math
