#include "cli/svg/svg_curves.h"

#include <cmath>

namespace morvelin {

namespace {

constexpr double kPi = 3.14159265358979323846;

HostPoint Rounded(DPoint p) {
  // The one rounding step: coordinates computed in double land on the
  // nearest 32-bit float.
  return HostPoint{static_cast<HostReal>(p.x), static_cast<HostReal>(p.y)};
}

bool SamePoint(HostPoint a, HostPoint b) { return a.h == b.h && a.v == b.v; }

// Smooth when both handles are extended and point in opposite directions, to
// within the angle that float rounding of the handles can introduce.
bool IsSmooth(const PathSegment& segment) {
  const double ix = segment.in.h - segment.p.h, iy = segment.in.v - segment.p.v;
  const double ox = segment.out.h - segment.p.h, oy = segment.out.v - segment.p.v;
  const double inLength = std::hypot(ix, iy), outLength = std::hypot(ox, oy);
  if (inLength == 0 || outLength == 0) return false;
  const double sine = (ix * oy - iy * ox) / (inLength * outLength);
  const double cosine = (ix * ox + iy * oy) / (inLength * outLength);
  return std::fabs(sine) < 1e-4 && cosine < 0;
}

}  // namespace

void SubpathBuilder::MoveTo(DPoint p) {
  subpaths_.push_back(DSubpath{{DAnchor{p, p, p}}, false});
  current_ = start_ = p;
  open_ = true;
}

void SubpathBuilder::EnsureSubpath() {
  if (!open_) MoveTo(start_);
}

void SubpathBuilder::LineTo(DPoint p) {
  EnsureSubpath();
  subpaths_.back().anchors.push_back(DAnchor{p, p, p});
  current_ = p;
}

void SubpathBuilder::CubicTo(DPoint c1, DPoint c2, DPoint p) {
  EnsureSubpath();
  Last().out = c1;
  subpaths_.back().anchors.push_back(DAnchor{p, c2, p});
  current_ = p;
}

void SubpathBuilder::QuadTo(DPoint q, DPoint p) {
  // A quadratic is exactly the cubic whose handles lie two thirds of the way
  // from each end point to the quadratic's control point.
  const DPoint from = current_;
  const DPoint c1{from.x + 2.0 / 3.0 * (q.x - from.x), from.y + 2.0 / 3.0 * (q.y - from.y)};
  const DPoint c2{p.x + 2.0 / 3.0 * (q.x - p.x), p.y + 2.0 / 3.0 * (q.y - p.y)};
  CubicTo(c1, c2, p);
}

void SubpathBuilder::ArcTo(double rx, double ry, double rotationDegrees, bool largeArc, bool sweep,
                           DPoint p) {
  const DPoint from = current_;
  if (from == p) return;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0 || ry == 0) {
    LineTo(p);
    return;
  }
  // Endpoint to centre parameterisation: the mid-chord in the ellipse's own
  // axes, radii scaled up when they cannot span the chord, then the centre.
  const double phi = rotationDegrees * kPi / 180.0;
  const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  const double dx = (from.x - p.x) / 2, dy = (from.y - p.y) / 2;
  const double x1 = cosPhi * dx + sinPhi * dy;
  const double y1 = -sinPhi * dx + cosPhi * dy;
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1) {
    rx *= std::sqrt(lambda);
    ry *= std::sqrt(lambda);
  }
  const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double coefficient = std::sqrt(std::fmax(0.0, numerator / denominator));
  if (largeArc == sweep) coefficient = -coefficient;
  const double cx1 = coefficient * rx * y1 / ry;
  const double cy1 = -coefficient * ry * x1 / rx;
  const double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x + p.x) / 2;
  const double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y + p.y) / 2;

  const double theta1 = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
  const double theta2 = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx);
  double sweepAngle = theta2 - theta1;
  if (!sweep && sweepAngle > 0) sweepAngle -= 2 * kPi;
  if (sweep && sweepAngle < 0) sweepAngle += 2 * kPi;

  // Pieces of at most a quarter turn; the tolerance keeps an exact quarter
  // (up to rounding of atan2) in one piece.
  int pieces = static_cast<int>(std::ceil(std::fabs(sweepAngle) / (kPi / 2) - 1e-9));
  if (pieces < 1) pieces = 1;
  const double step = sweepAngle / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4);
  auto pointAt = [&](double t) {
    return DPoint{cx + rx * std::cos(t) * cosPhi - ry * std::sin(t) * sinPhi,
                  cy + rx * std::cos(t) * sinPhi + ry * std::sin(t) * cosPhi};
  };
  auto tangentAt = [&](double t) {
    return DPoint{-rx * std::sin(t) * cosPhi - ry * std::cos(t) * sinPhi,
                  -rx * std::sin(t) * sinPhi + ry * std::cos(t) * cosPhi};
  };
  DPoint start = from;
  for (int i = 0; i < pieces; ++i) {
    const double t1 = theta1 + i * step, t2 = t1 + step;
    // The last piece ends exactly on the requested end point.
    const DPoint end = i == pieces - 1 ? p : pointAt(t2);
    const DPoint d1 = tangentAt(t1), d2 = tangentAt(t2);
    CubicTo(DPoint{start.x + k * d1.x, start.y + k * d1.y}, DPoint{end.x - k * d2.x, end.y - k * d2.y}, end);
    start = end;
  }
}

void SubpathBuilder::Close() {
  if (!open_) return;
  subpaths_.back().closed = true;
  open_ = false;
  current_ = start_;
}

std::vector<DSubpath> SubpathBuilder::Take() {
  open_ = false;
  return std::move(subpaths_);
}

std::vector<PathSegment> ToHostSegments(const DSubpath& subpath, const SvgMatrix& matrix) {
  std::vector<PathSegment> segments;
  segments.reserve(subpath.anchors.size());
  for (const DAnchor& anchor : subpath.anchors) {
    PathSegment segment{};
    segment.p = Rounded(matrix.Apply(anchor.p));
    segment.in = Rounded(matrix.Apply(anchor.in));
    segment.out = Rounded(matrix.Apply(anchor.out));
    segments.push_back(segment);
  }
  if (subpath.closed && segments.size() > 1 && SamePoint(segments.back().p, segments.front().p)) {
    segments.front().in = segments.back().in;
    segments.pop_back();
  }
  for (PathSegment& segment : segments) segment.corner = IsSmooth(segment) ? 0 : 1;
  return segments;
}

}  // namespace morvelin
