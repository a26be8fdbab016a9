// "AI Real Math Suite": point arithmetic on the host's reals.
#pragma once

#include "host_types.h"

#define kRealMathSuite "AI Real Math Suite"
enum { kRealMathSuiteVersion = 1 };

typedef struct RealMathSuite {
  // The distance from *a to *b: sqrt(dh*dh + dv*dv) in double precision,
  // rounded to a HostReal.
  HostReal(HOSTCALL* PointDistance)(const HostPoint* a, const HostPoint* b);
  // The angle of the direction from *a to *b in radians: atan2(dv, dh) in
  // double precision, rounded to a HostReal.
  HostReal(HOSTCALL* PointAngle)(const HostPoint* a, const HostPoint* b);
} RealMathSuite;
