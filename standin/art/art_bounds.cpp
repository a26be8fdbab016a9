// The exact bounds of art: the extrema of every cubic piece of its paths, not
// the box around their control points.
#include <algorithm>
#include <cmath>
#include <limits>

#include "standin/art/art_store.h"

namespace standin {

namespace {

struct Point2 {
  double h;
  double v;
};

// The box grown by points and pads, held in double until it is handed out.
class Extent {
 public:
  void Add(Point2 p, double pad) {
    minH_ = std::min(minH_, p.h - pad);
    maxH_ = std::max(maxH_, p.h + pad);
    minV_ = std::min(minV_, p.v - pad);
    maxV_ = std::max(maxV_, p.v + pad);
    any_ = true;
  }
  // The vertical axis points up: top is the larger vertical coordinate. Each
  // side is rounded to the nearest float once, at the end.
  HostRect Rect() const {
    if (!any_) return HostRect{};
    return HostRect{static_cast<HostReal>(minH_), static_cast<HostReal>(maxV_), static_cast<HostReal>(maxH_),
                    static_cast<HostReal>(minV_)};
  }

 private:
  double minH_ = std::numeric_limits<double>::infinity();
  double maxH_ = -std::numeric_limits<double>::infinity();
  double minV_ = std::numeric_limits<double>::infinity();
  double maxV_ = -std::numeric_limits<double>::infinity();
  bool any_ = false;
};

Point2 Transform(HostPoint p, const HostMatrix* m) {
  if (m == nullptr) return Point2{p.h, p.v};
  return Point2{static_cast<double>(m->a) * p.h + static_cast<double>(m->c) * p.v + m->tx,
                static_cast<double>(m->b) * p.h + static_cast<double>(m->d) * p.v + m->ty};
}

double Coordinate(Point2 p, int axis) { return axis == 0 ? p.h : p.v; }

Point2 CurvePoint(const Point2 (&c)[4], double t) {
  const double u = 1.0 - t;
  const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
  return Point2{w0 * c[0].h + w1 * c[1].h + w2 * c[2].h + w3 * c[3].h,
                w0 * c[0].v + w1 * c[1].v + w2 * c[2].v + w3 * c[3].v};
}

// Adds the ends of one cubic piece and its turning points on either axis. An
// affine map of a Bézier curve is the curve of the mapped control points, so
// the pieces are transformed before their extrema are sought.
void AddCurve(const Point2 (&c)[4], double pad, Extent& extent) {
  extent.Add(c[0], pad);
  extent.Add(c[3], pad);
  for (int axis = 0; axis < 2; ++axis) {
    const double p0 = Coordinate(c[0], axis), p1 = Coordinate(c[1], axis);
    const double p2 = Coordinate(c[2], axis), p3 = Coordinate(c[3], axis);
    // With both control points between the ends on this axis the curve stays
    // between them too (it lies in the hull of its control points): the ends
    // are its extremes, and no turning point needs to be sought. Arcs of
    // circles and straight pieces, the common kinds, are such curves.
    const double low = std::min(p0, p3), high = std::max(p0, p3);
    if (p1 >= low && p1 <= high && p2 >= low && p2 <= high) continue;
    // The derivative over 3 is qa t^2 + qb t + qc.
    const double qa = -p0 + 3 * p1 - 3 * p2 + p3;
    const double qb = 2 * (p0 - 2 * p1 + p2);
    const double qc = p1 - p0;
    double roots[2];
    int count = 0;
    if (qa == 0) {
      if (qb != 0) roots[count++] = -qc / qb;
    } else {
      const double disc = qb * qb - 4 * qa * qc;
      if (disc >= 0) {
        // The form that loses no digits when qa is small next to qb.
        const double q = -0.5 * (qb + std::copysign(std::sqrt(disc), qb));
        roots[count++] = q / qa;
        if (q != 0) roots[count++] = qc / q;
      }
    }
    for (int i = 0; i < count; ++i) {
      if (roots[i] > 0 && roots[i] < 1) extent.Add(CurvePoint(c, roots[i]), pad);
    }
  }
}

void AddPath(const ArtObject* path, const PathStyle& paint, const HostMatrix* matrix, bool withStroke,
             Extent& extent) {
  const auto& segments = path->segments;
  const double pad = withStroke && paint.strokePaint != 0 ? paint.strokeWidth * 0.5 : 0.0;
  const std::size_t n = segments.size();
  if (n == 1) extent.Add(Transform(segments[0].p, matrix), pad);
  const std::size_t pieces = path->closed ? n : n - 1;
  for (std::size_t i = 0; n > 1 && i < pieces; ++i) {
    const PathSegment& from = segments[i];
    const PathSegment& to = segments[(i + 1) % n];
    const Point2 curve[4] = {Transform(from.p, matrix), Transform(from.out, matrix), Transform(to.in, matrix),
                             Transform(to.p, matrix)};
    AddCurve(curve, pad, extent);
  }
}

// The paths of a compound path are painted with the compound path's style.
void AddArt(const ArtObject* art, const HostMatrix* matrix, bool withStroke, Extent& extent) {
  if (art->type == kArtTypePath) {
    AddPath(art, art->style, matrix, withStroke, extent);
  } else if (art->type == kArtTypeCompoundPath) {
    for (const ArtObject* child : art->children) {
      if (child->type == kArtTypePath) AddPath(child, art->style, matrix, withStroke, extent);
    }
  } else if (art->type == kArtTypeGroup) {
    for (const ArtObject* child : art->children) AddArt(child, matrix, withStroke, extent);
  }
}

}  // namespace

HostRect ArtStore::Bounds(const ArtObject* art, const HostMatrix* matrix, bool withStroke) {
  Extent extent;
  AddArt(art, matrix, withStroke, extent);
  return extent.Rect();
}

}  // namespace standin
