#include "standin/unite/bezier.h"

#include <cmath>

namespace standin {

namespace {

Vec2 Lerp(const Vec2& a, const Vec2& b, double t) {
  return Vec2{a.h + (b.h - a.h) * t, a.v + (b.v - a.v) * t};
}

// The part from t to 1, by de Casteljau's construction.
CubicPiece Tail(const CubicPiece& c, double t) {
  const Vec2 a = Lerp(c.p0, c.p1, t), b = Lerp(c.p1, c.p2, t), d = Lerp(c.p2, c.p3, t);
  const Vec2 ab = Lerp(a, b, t), bd = Lerp(b, d, t);
  return CubicPiece{Lerp(ab, bd, t), bd, d, c.p3};
}

// The part from 0 to t.
CubicPiece Head(const CubicPiece& c, double t) {
  const Vec2 a = Lerp(c.p0, c.p1, t), b = Lerp(c.p1, c.p2, t), d = Lerp(c.p2, c.p3, t);
  const Vec2 ab = Lerp(a, b, t), bd = Lerp(b, d, t);
  return CubicPiece{c.p0, a, ab, Lerp(ab, bd, t)};
}

}  // namespace

Vec2 PointAt(const CubicPiece& c, double t) {
  if (IsStraight(c)) return Lerp(c.p0, c.p3, t);
  const double s = 1 - t;
  const double a = s * s * s, b = 3 * s * s * t, d = 3 * s * t * t, e = t * t * t;
  return Vec2{a * c.p0.h + b * c.p1.h + d * c.p2.h + e * c.p3.h,
              a * c.p0.v + b * c.p1.v + d * c.p2.v + e * c.p3.v};
}

Vec2 TangentAt(const CubicPiece& c, double t) {
  if (IsStraight(c)) return Vec2{c.p3.h - c.p0.h, c.p3.v - c.p0.v};
  const double s = 1 - t;
  const double a = 3 * s * s, b = 6 * s * t, d = 3 * t * t;
  return Vec2{a * (c.p1.h - c.p0.h) + b * (c.p2.h - c.p1.h) + d * (c.p3.h - c.p2.h),
              a * (c.p1.v - c.p0.v) + b * (c.p2.v - c.p1.v) + d * (c.p3.v - c.p2.v)};
}

CubicPiece SubPiece(const CubicPiece& c, double t0, double t1) {
  if (t0 > t1) return Reversed(SubPiece(c, t1, t0));
  if (IsStraight(c)) {
    const Vec2 a = Lerp(c.p0, c.p3, t0), b = Lerp(c.p0, c.p3, t1);
    return CubicPiece{a, a, b, b};
  }
  if (t1 >= 1) return t0 <= 0 ? c : Tail(c, t0);
  const CubicPiece head = Head(c, t1);
  // Within the head, t0 sits at t0 / t1.
  return t0 <= 0 ? head : Tail(head, t0 / t1);
}

CubicPiece Reversed(const CubicPiece& c) { return CubicPiece{c.p3, c.p2, c.p1, c.p0}; }

bool IsStraight(const CubicPiece& c) {
  return c.p1.h == c.p0.h && c.p1.v == c.p0.v && c.p2.h == c.p3.h && c.p2.v == c.p3.v;
}

double Distance(const Vec2& a, const Vec2& b) { return std::hypot(a.h - b.h, a.v - b.v); }

double TwiceSweptArea(const CubicPiece& c) {
  auto cross = [](const Vec2& a, const Vec2& b) { return a.h * b.v - a.v * b.h; };
  return (6 * cross(c.p0, c.p1) + 3 * cross(c.p0, c.p2) + cross(c.p0, c.p3) + 3 * cross(c.p1, c.p2) +
          3 * cross(c.p1, c.p3) + 6 * cross(c.p2, c.p3)) /
         10;
}

}  // namespace standin
