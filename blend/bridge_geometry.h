// The bridge between two circles: pure arithmetic on points, radii and
// angles. Nothing here calls the host.
//
// Numbers follow one rule throughout: each named quantity is held as a 32-bit
// float, rounded when it is formed, while the arithmetic inside one formula is
// done in double precision. The .cpp says where a step departs from that.
#pragma once

#include <optional>

#include "host_api/path_suite.h"

// A source path taken as a circle.
struct BlendCircle {
  HostPoint centre;
  HostReal radius;
};

// The four segments of a bridge, in path order; the path is closed.
struct BridgeOutline {
  PathSegment segments[4];
};

// The two point operations the geometry needs. The host layer passes the
// host's Real Math suite; StandardPointMath computes the same definitions.
struct PointMath {
  // Euclidean distance of two points.
  HostReal (*distance)(const HostPoint* a, const HostPoint* b);
  // Angle in radians of the direction from a toward b.
  HostReal (*angle)(const HostPoint* a, const HostPoint* b);
};

// sqrt(dx*dx + dy*dy) and atan2(dy, dx) in double precision, each rounded to
// a 32-bit float.
const PointMath& StandardPointMath();

// Centre at the middle of the bounds, radius half their width (the height is
// not used).
BlendCircle CircleFromBounds(const HostRect& bounds);

// origin + length * (cos angle, sin angle), the cosine and sine rounded to
// 32-bit floats first.
HostPoint PolarOffset(HostPoint origin, HostReal angle, HostReal length);

// The bridge joining `first` and `second` for rate fraction `a` and handle cap
// `b`, or nothing when no bridge is made: a radius that is not positive, one
// circle inside or touching the other from inside, or any input or result
// that is not finite.
//
// `math` is called in a fixed order, stopping early when there is no bridge:
// distance(first centre, second centre) before the containment test,
// angle(first centre, second centre), then distance(anchor 0, anchor 1).
// A radius that is not positive or an input that is not finite ends it before
// any call.
std::optional<BridgeOutline> ComputeBridgeOutline(const BlendCircle& first, const BlendCircle& second,
                                                  HostReal a, HostReal b,
                                                  const PointMath& math = StandardPointMath());
