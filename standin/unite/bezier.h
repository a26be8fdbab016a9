// Cubic Bézier pieces in double precision: evaluation, de Casteljau
// sub-curves, projection of a point and the crossing of two pieces.
#pragma once

#include <algorithm>
#include <cmath>

namespace standin {

struct Vec2 {
  double h;
  double v;
};

// A cubic from p0 to p3 with control points p1 and p2. A straight piece has
// its control points on its ends (p1 == p0, p2 == p3) and is parameterised
// linearly, as the line it draws, everywhere below.
struct CubicPiece {
  Vec2 p0, p1, p2, p3;
};

Vec2 PointAt(const CubicPiece& c, double t);
// The first derivative with respect to t.
Vec2 TangentAt(const CubicPiece& c, double t);
// The piece between parameters t0 and t1 (t0 > t1 gives it reversed), by two
// de Casteljau splits. The result's ends are exactly PointAt(t0) and
// PointAt(t1) up to rounding.
CubicPiece SubPiece(const CubicPiece& c, double t0, double t1);
CubicPiece Reversed(const CubicPiece& c);
bool IsStraight(const CubicPiece& c);

double Distance(const Vec2& a, const Vec2& b);

// Twice the area a piece adds to its closed path's signed area (the
// integral of h dv - v dh along it, exact for the Bernstein form): positive
// counter-clockwise in a frame whose v axis points up.
double TwiceSweptArea(const CubicPiece& c);

inline double Dot(const Vec2& a, const Vec2& b) { return a.h * b.h + a.v * b.v; }
inline Vec2 Minus(const Vec2& a, const Vec2& b) { return Vec2{a.h - b.h, a.v - b.v}; }

// Projection and crossing work on any curve `r` with a point r.At(u) and a
// derivative r.Tangent(u) for a real parameter u: a single piece, or a chain
// of pieces addressed by one parameter (as the unite's rebuilder walks a
// source contour).

// The parameter within [s0 - w, s0 + w] whose point is closest to c: the best
// of a few samples, then Gauss-Newton steps.
template <typename Curve>
double Project(const Curve& r, const Vec2& c, double s0, double w) {
  double best = s0, bestDistance = Distance(r.At(s0), c);
  constexpr int kSamples = 12;
  for (int i = -kSamples; i <= kSamples; ++i) {
    const double s = s0 + w * i / kSamples;
    const double d = Distance(r.At(s), c);
    if (d < bestDistance) best = s, bestDistance = d;
  }
  double s = best;
  for (int i = 0; i < 30; ++i) {
    const Vec2 d = r.Tangent(s);
    const double speed = Dot(d, d);
    if (speed == 0) break;
    const double step = Dot(Minus(r.At(s), c), d) / speed;
    const double next = std::clamp(s - step, s0 - w, s0 + w);
    if (std::fabs(next - s) < 1e-14) break;
    s = next;
  }
  return Distance(r.At(s), c) <= bestDistance ? s : best;
}

// Where curves a and b cross, by Newton's method on a(s) = b(t) from (*s, *t);
// true when it converges within the windows [sLo, sHi] and [tLo, tHi].
template <typename Curve>
bool Intersect(const Curve& a, double* s, const Curve& b, double* t, double sLo, double sHi, double tLo,
               double tHi) {
  for (int i = 0; i < 40; ++i) {
    const Vec2 pa = a.At(*s), pb = b.At(*t);
    const Vec2 f = Minus(pa, pb);
    const double scale = std::max(1.0, std::fabs(pa.h) + std::fabs(pa.v));
    if (std::hypot(f.h, f.v) <= 1e-11 * scale) return true;
    const Vec2 da = a.Tangent(*s), db = b.Tangent(*t);
    const double det = -da.h * db.v + db.h * da.v;
    if (det == 0 || !std::isfinite(det)) return false;
    const double ds = (f.h * db.v - db.h * f.v) / det;
    const double dt = (da.h * -f.v + da.v * f.h) / det;
    *s += ds;
    *t += dt;
    if (!(*s >= sLo && *s <= sHi && *t >= tLo && *t <= tHi)) return false;
  }
  const Vec2 pa = a.At(*s), pb = b.At(*t);
  return Distance(pa, pb) <= 1e-8 * std::max(1.0, std::fabs(pa.h) + std::fabs(pa.v));
}

}  // namespace standin
