// Points and affine matrices in double precision, for building drawing
// geometry before it is rounded to the host's 32-bit floats.
#pragma once

#include <cmath>

namespace morvelin {

struct DPoint {
  double x = 0;
  double y = 0;
};

inline bool operator==(DPoint a, DPoint b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(DPoint a, DPoint b) { return !(a == b); }

// SVG's matrix(a b c d e f): (x, y) -> (a*x + c*y + e, b*x + d*y + f).
struct SvgMatrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  // This matrix after `inner`: the matrix of a child transform `inner`
  // written inside an element whose transform is this one.
  SvgMatrix operator*(const SvgMatrix& inner) const {
    return SvgMatrix{a * inner.a + c * inner.b, b * inner.a + d * inner.b,     a * inner.c + c * inner.d,
                     b * inner.c + d * inner.d, a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
  }
  DPoint Apply(DPoint p) const { return DPoint{a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  bool IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }
  // The factor by which the matrix scales lengths on average: the square root
  // of its area scale. Exact for uniform scales and rotations.
  double LengthScale() const { return std::sqrt(std::fabs(a * d - b * c)); }
};

// The inverse of `m` in *inverse. False, leaving *inverse as it was, for a
// matrix that flattens the plane or whose determinant is not finite.
inline bool Invert(const SvgMatrix& m, SvgMatrix* inverse) {
  const double det = m.a * m.d - m.b * m.c;
  if (det == 0 || !std::isfinite(det)) return false;
  *inverse = SvgMatrix{m.d / det,
                       -m.b / det,
                       -m.c / det,
                       m.a / det,
                       (m.c * m.f - m.d * m.e) / det,
                       (m.b * m.e - m.a * m.f) / det};
  return true;
}

}  // namespace morvelin
