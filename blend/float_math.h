// Float-in, float-out versions of the few libm functions the bridge geometry
// uses. Each takes a 32-bit float, evaluates in double precision and rounds
// the result to a 32-bit float, so that every caller rounds at the same place.
// acos, cos and sin are the plug-in's own (portable_trig.h): the platform's
// differ (msvcrt's acos, mingw-w64's x87 cos and sin in the DLL), and these
// give glibc's results on every platform.
#pragma once

#include <cmath>

#include "blend/portable_trig.h"
#include "host_api/host_types.h"

namespace blend_math {

// Rounds a double to the host's 32-bit real (to nearest, ties to even).
//
// The rounded value passes through a volatile float so that the rounding
// really happens. GCC 12's SLP vectorizer at -O2 otherwise drops a
// double -> float -> double round trip when it pairs the horizontal and
// vertical computations (seen in PolarOffset: the cosine and sine went into
// the products unrounded), which changes results in the last bit.
inline HostReal RoundToReal(double value) {
  volatile HostReal rounded = static_cast<HostReal>(value);
  return rounded;
}

// acos of x. An argument that rounding carried just outside [-1, 1] is
// clamped to the nearer end first, so the result is never NaN for a finite x;
// NaN stays NaN.
inline HostReal ClampedAcos(HostReal x) {
  if (x > 1.0f) x = 1.0f;
  if (x < -1.0f) x = -1.0f;
  return RoundToReal(PortableAcos(x));
}

inline HostReal FloatCos(HostReal x) { return RoundToReal(PortableCos(x)); }
inline HostReal FloatSin(HostReal x) { return RoundToReal(PortableSin(x)); }

}  // namespace blend_math
