#include "tests/support/flatten.h"

#include <cmath>

#include "standin/art/art_object.h"

namespace standin {

namespace {

struct Cubic {
  FlatPoint p0, p1, p2, p3;
  int depth;
};

// No piece is split more often than this; at any coordinate the range check
// admits, the tolerance is met long before.
constexpr int kMaxDepth = 48;

FlatPoint ToFlat(const HostPoint& p) { return FlatPoint{p.h, p.v}; }
FlatPoint Midpoint(const FlatPoint& a, const FlatPoint& b) {
  return FlatPoint{(a.h + b.h) / 2, (a.v + b.v) / 2};
}

double DistanceToSegment(const FlatPoint& p, const FlatPoint& a, const FlatPoint& b) {
  const double dh = b.h - a.h;
  const double dv = b.v - a.v;
  const double lengthSquared = dh * dh + dv * dv;
  double t = 0;
  if (lengthSquared > 0)
    t = std::fmax(0.0, std::fmin(1.0, ((p.h - a.h) * dh + (p.v - a.v) * dv) / lengthSquared));
  return std::hypot(p.h - (a.h + t * dh), p.v - (a.v + t * dv));
}

// The curve lies inside the convex hull of its control points, and the
// distance to the chord is convex, so no point of the curve is farther from
// the chord than the farther of the two inner control points.
bool IsFlat(const Cubic& c, double tolerance) {
  return DistanceToSegment(c.p1, c.p0, c.p3) <= tolerance && DistanceToSegment(c.p2, c.p0, c.p3) <= tolerance;
}

bool IsInRange(const HostPoint& p, double maxCoordinate) {
  return std::isfinite(p.h) && std::isfinite(p.v) && std::fabs(p.h) <= maxCoordinate &&
         std::fabs(p.v) <= maxCoordinate;
}

class Flattener {
 public:
  Flattener(const FlattenLimits& limits, std::size_t pointsSoFar) : limits_(limits), points_(pointsSoFar) {}

  bool Add(Contour* contour, const FlatPoint& p) {
    if (++points_ > limits_.maxPoints) return false;
    contour->push_back(p);
    return true;
  }

  // Appends the points of the curve after its start point, up to and
  // including its end point: de Casteljau halving until each piece is flat.
  bool AddCurve(Contour* contour, const Cubic& curve) {
    std::vector<Cubic> pending{curve};
    while (!pending.empty()) {
      const Cubic c = pending.back();
      pending.pop_back();
      if (c.depth >= kMaxDepth || IsFlat(c, limits_.tolerance)) {
        if (!Add(contour, c.p3)) return false;
        continue;
      }
      const FlatPoint a = Midpoint(c.p0, c.p1), b = Midpoint(c.p1, c.p2), d = Midpoint(c.p2, c.p3);
      const FlatPoint ab = Midpoint(a, b), bd = Midpoint(b, d);
      const FlatPoint middle = Midpoint(ab, bd);
      // The second half goes first onto the stack, so the first half is
      // emitted first.
      pending.push_back(Cubic{middle, bd, d, c.p3, c.depth + 1});
      pending.push_back(Cubic{c.p0, a, ab, middle, c.depth + 1});
    }
    return true;
  }

  FlattenResult AddPath(const ArtObject& path, std::vector<Contour>* contours) {
    const standin::SegmentList& s = path.segments;
    for (const PathSegment& segment : s) {
      if (!IsInRange(segment.p, limits_.maxCoordinate) || !IsInRange(segment.in, limits_.maxCoordinate) ||
          !IsInRange(segment.out, limits_.maxCoordinate)) {
        return FlattenResult::kOutOfRange;
      }
    }
    Contour contour;
    if (!s.empty() && !Add(&contour, ToFlat(s[0].p))) return FlattenResult::kTooManyPoints;
    const std::size_t curves = s.empty() ? 0 : (path.closed ? s.size() : s.size() - 1);
    for (std::size_t i = 0; i < curves; ++i) {
      const PathSegment& from = s[i];
      const PathSegment& to = s[(i + 1) % s.size()];
      const Cubic curve{ToFlat(from.p), ToFlat(from.out), ToFlat(to.in), ToFlat(to.p), 0};
      if (!AddCurve(&contour, curve)) return FlattenResult::kTooManyPoints;
    }
    // The closing curve ends where the contour started; the polygon's implied
    // closing edge stands for that last point.
    if (path.closed && contour.size() > 1) {
      contour.pop_back();
      --points_;
    }
    contours->push_back(std::move(contour));
    return FlattenResult::kOk;
  }

 private:
  const FlattenLimits& limits_;
  std::size_t points_;
};

std::size_t CountPoints(const std::vector<Contour>& contours) {
  std::size_t n = 0;
  for (const Contour& c : contours) n += c.size();
  return n;
}

}  // namespace

FlattenResult FlattenArt(const ArtObject& art, const FlattenLimits& limits, std::vector<Contour>* contours) {
  Flattener flattener(limits, CountPoints(*contours));
  if (art.type == kArtTypePath) return flattener.AddPath(art, contours);
  if (art.type != kArtTypeCompoundPath) return FlattenResult::kOk;
  for (const ArtObject* child : art.children) {
    if (child->type != kArtTypePath) continue;
    const FlattenResult result = flattener.AddPath(*child, contours);
    if (result != FlattenResult::kOk) return result;
  }
  return FlattenResult::kOk;
}

}  // namespace standin
