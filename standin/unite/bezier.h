// Cubic Bézier pieces in double precision: evaluation, de Casteljau
// sub-curves, projection of a point and the crossing of two pieces.
#pragma once

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

}  // namespace standin
