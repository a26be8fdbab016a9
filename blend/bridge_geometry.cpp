#include "blend/bridge_geometry.h"

#include <cmath>

#include "blend/float_math.h"

// Every function here computes in double and rounds to float (HostReal) where
// a named quantity is stored. RoundToReal marks each such rounding at the call
// site: a bare double is an unrounded intermediate, a HostReal has been
// rounded.

namespace {

using blend_math::ClampedAcos;
using blend_math::CosineSine;
using blend_math::FloatCosSin;
using blend_math::RoundToReal;

// The float nearest to pi, and its half, carried as doubles.
constexpr double kPiF = 3.1415927410125732;
constexpr double kHalfPiF = 1.5707963705062866;

bool IsFinitePoint(const HostPoint& p) { return std::isfinite(p.h) && std::isfinite(p.v); }

bool IsFiniteSegment(const PathSegment& s) {
  return IsFinitePoint(s.p) && IsFinitePoint(s.in) && IsFinitePoint(s.out);
}

HostReal StandardDistance(const HostPoint* a, const HostPoint* b) {
  const double dh = static_cast<double>(b->h) - static_cast<double>(a->h);
  const double dv = static_cast<double>(b->v) - static_cast<double>(a->v);
  return RoundToReal(std::sqrt(dh * dh + dv * dv));
}

HostReal StandardAngle(const HostPoint* a, const HostPoint* b) {
  const double dh = static_cast<double>(b->h) - static_cast<double>(a->h);
  const double dv = static_cast<double>(b->v) - static_cast<double>(a->v);
  return RoundToReal(std::atan2(dv, dh));
}

// The point maths a bridge calls: `math`'s functions, or the standard ones
// called directly (and inlined) when `math` holds those, which gives the same
// values without the calls through pointers.
class BridgePointMath {
 public:
  explicit BridgePointMath(const PointMath& math)
      : math_(math), standard_(math.distance == &StandardDistance && math.angle == &StandardAngle) {}
  HostReal Distance(const HostPoint& a, const HostPoint& b) const {
    return standard_ ? StandardDistance(&a, &b) : math_.distance(&a, &b);
  }
  HostReal Angle(const HostPoint& a, const HostPoint& b) const {
    return standard_ ? StandardAngle(&a, &b) : math_.angle(&a, &b);
  }

 private:
  const PointMath& math_;
  bool standard_;
};

// One segment with the corner flag clear.
PathSegment SmoothSegment(HostPoint anchor, HostPoint in, HostPoint out) {
  PathSegment segment;
  segment.p = anchor;
  segment.in = in;
  segment.out = out;
  segment.corner = 0;
  return segment;
}

// The angle handed to PolarOffset for a handle: anchor angle +/- pi/2, rounded
// to float before its cosine and sine are taken.
HostReal HandleAngle(HostReal anchorAngle, double quarterTurn) {
  return RoundToReal(static_cast<double>(anchorAngle) + quarterTurn);
}

// origin + length * (cosine, sine) of a turn whose cosine and sine are
// already rounded to float: the product of two floats is exact in double, so
// each coordinate sees a single rounding of the sum to double and then one to
// float.
HostPoint OffsetByTurn(HostPoint origin, CosineSine turn, HostReal length) {
  HostPoint point;
  point.h = RoundToReal(static_cast<double>(turn.cosine) * static_cast<double>(length) +
                        static_cast<double>(origin.h));
  point.v = RoundToReal(static_cast<double>(turn.sine) * static_cast<double>(length) +
                        static_cast<double>(origin.v));
  return point;
}

}  // namespace

const PointMath& StandardPointMath() {
  static const PointMath math = {&StandardDistance, &StandardAngle};
  return math;
}

BlendCircle CircleFromBounds(const HostRect& bounds) {
  const double left = bounds.left;
  const double top = bounds.top;
  const double right = bounds.right;
  const double bottom = bounds.bottom;
  BlendCircle circle;
  // The sums are taken in double, so two large coordinates cannot overflow
  // the float range before the halving; the result is rounded once.
  circle.centre.h = RoundToReal((left + right) * 0.5);
  circle.centre.v = RoundToReal((top + bottom) * 0.5);
  circle.radius = RoundToReal((right - left) * 0.5);
  return circle;
}

HostPoint PolarOffset(HostPoint origin, HostReal angle, HostReal length) {
  return OffsetByTurn(origin, FloatCosSin(angle), length);
}

// Flattened: the eight cosine-and-sine evaluations and the standard point
// maths are inlined here, so that the independent ones overlap in the
// processor rather than running one call after another. Inlining changes no
// rounding: every step is the same IEEE double or float operation.
[[gnu::flatten]] std::optional<BridgeOutline> ComputeBridgeOutline(const BlendCircle& first,
                                                                   const BlendCircle& second, HostReal a,
                                                                   HostReal b, const PointMath& pointMath) {
  const BridgePointMath math(pointMath);
  const HostPoint c1 = first.centre;
  const HostPoint c2 = second.centre;
  const HostReal r1 = first.radius;
  const HostReal r2 = second.radius;

  // Radii: both must be positive. NaN fails this test too; the other inputs
  // must be finite, or the outline would carry NaN or infinity into a path.
  if (!(r1 > 0.0f && r2 > 0.0f)) return std::nullopt;
  if (!std::isfinite(r1) || !std::isfinite(r2) || !IsFinitePoint(c1) || !IsFinitePoint(c2) ||
      !std::isfinite(a) || !std::isfinite(b)) {
    return std::nullopt;
  }

  const HostReal d = math.Distance(c1, c2);
  if (!std::isfinite(d)) return std::nullopt;

  // Containment: the difference of the radii is rounded to float before its
  // absolute value, so the test compares two floats.
  const HostReal radiusDifference = RoundToReal(static_cast<double>(r1) - static_cast<double>(r2));
  if (std::fabs(radiusDifference) >= d) return std::nullopt;

  const double r1d = r1;
  const double r2d = r2;
  const double dd = d;
  // S stays in double: it is the exact sum of two floats in most cases.
  const double sumOfRadii = r1d + r2d;

  // Intersection angles by the law of cosines. The squares stay in double;
  // each quotient is rounded to float before acos.
  HostReal alpha1 = 0.0f;
  HostReal alpha2 = 0.0f;
  if (dd < sumOfRadii) {
    const HostReal cos1 = RoundToReal((r1d * r1d + dd * dd - r2d * r2d) / (2.0 * r1d * dd));
    const HostReal cos2 = RoundToReal((r2d * r2d + dd * dd - r1d * r1d) / (2.0 * r2d * dd));
    alpha1 = ClampedAcos(cos1);
    alpha2 = ClampedAcos(cos2);
  }

  const HostReal theta = math.Angle(c1, c2);

  // Outer tangent angle: r1 - r2 unrounded, the quotient rounded to float.
  const HostReal beta = ClampedAcos(RoundToReal((r1d - r2d) / dd));

  // Anchor angles. g1 and g2 stay in double; each sum runs left to right in
  // double and is rounded to float once, at the end.
  const double ad = a;
  const double thetad = theta;
  const double alpha1d = alpha1;
  const double alpha2d = alpha2;
  const double betad = beta;
  const double g1 = (betad - alpha1d) * ad;
  const HostReal angleA1 = RoundToReal(thetad + alpha1d + g1);
  const HostReal angleB1 = RoundToReal(thetad - alpha1d - g1);
  const double g2 = (kPiF - alpha2d - betad) * ad;
  const HostReal angleA2 = RoundToReal(thetad + kPiF - alpha2d - g2);
  const HostReal angleB2 = RoundToReal(thetad - kPiF + alpha2d + g2);

  // The eight turns of the outline: each anchor's, and each handle's at its
  // anchor's angle plus or minus a quarter turn. All eight depend only on the
  // anchor angles, so they are taken together, before the anchors are placed.
  const CosineSine turnA1 = FloatCosSin(angleA1);
  const CosineSine turnB1 = FloatCosSin(angleB1);
  const CosineSine turnA2 = FloatCosSin(angleA2);
  const CosineSine turnB2 = FloatCosSin(angleB2);
  const CosineSine handleTurnA1 = FloatCosSin(HandleAngle(angleA1, -kHalfPiF));
  const CosineSine handleTurnA2 = FloatCosSin(HandleAngle(angleA2, kHalfPiF));
  const CosineSine handleTurnB2 = FloatCosSin(HandleAngle(angleB2, -kHalfPiF));
  const CosineSine handleTurnB1 = FloatCosSin(HandleAngle(angleB1, kHalfPiF));

  const HostPoint p1a = OffsetByTurn(c1, turnA1, r1);
  const HostPoint p1b = OffsetByTurn(c1, turnB1, r1);
  const HostPoint p2a = OffsetByTurn(c2, turnA2, r2);
  const HostPoint p2b = OffsetByTurn(c2, turnB2, r2);

  // Handle lengths. k, q and c stay in double; m, s and the lengths are
  // rounded to float as they are formed.
  const HostReal anchorDistance = math.Distance(p1a, p2a);
  if (!std::isfinite(anchorDistance)) return std::nullopt;
  const double k = ad * static_cast<double>(b);
  const double q = static_cast<double>(anchorDistance) / sumOfRadii;
  const HostReal m = RoundToReal(q <= k ? q : k);
  const double closeness = 2.0 * dd / sumOfRadii;
  const double c = closeness <= 1.0 ? closeness : 1.0;
  const HostReal s = RoundToReal(c * static_cast<double>(m));
  const HostReal length1 = RoundToReal(static_cast<double>(s) * r1d);
  const HostReal length2 = RoundToReal(static_cast<double>(s) * r2d);

  BridgeOutline outline;
  outline.segments[0] = SmoothSegment(p1a, p1a, OffsetByTurn(p1a, handleTurnA1, length1));
  outline.segments[1] = SmoothSegment(p2a, OffsetByTurn(p2a, handleTurnA2, length2), p2a);
  outline.segments[2] = SmoothSegment(p2b, p2b, OffsetByTurn(p2b, handleTurnB2, length2));
  outline.segments[3] = SmoothSegment(p1b, OffsetByTurn(p1b, handleTurnB1, length1), p1b);

  // A float overflow in any anchor or handle (or a NaN from the host's point
  // math) gives no bridge rather than a path with non-finite coordinates.
  for (const PathSegment& segment : outline.segments) {
    if (!IsFiniteSegment(segment)) return std::nullopt;
  }
  return outline;
}
