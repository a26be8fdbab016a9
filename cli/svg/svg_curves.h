// Subpaths as anchors with handles, built from SVG drawing commands in
// double precision, and their conversion to the host's path segments.
#pragma once

#include <vector>

#include "cli/svg/svg_matrix.h"
#include "host_api/path_suite.h"

namespace morvelin {

// One anchor: `in` is the control point of the curve arriving at `p`, `out`
// that of the curve leaving it; a handle equal to its anchor is retracted.
struct DAnchor {
  DPoint p, in, out;
};

struct DSubpath {
  std::vector<DAnchor> anchors;
  bool closed = false;
};

// Collects subpaths from move, line, curve, arc and close commands, each taken
// from the current point. Quadratics and arcs become cubics.
class SubpathBuilder {
 public:
  void MoveTo(DPoint p);
  void LineTo(DPoint p);
  void CubicTo(DPoint c1, DPoint c2, DPoint p);
  // The exact cubic of a quadratic with control point q.
  void QuadTo(DPoint q, DPoint p);
  // An elliptical arc to p, as SVG's arc command draws it: radii rx, ry,
  // x-axis rotation in degrees, large-arc and sweep flags. Radii too small to
  // reach p are scaled up; a zero radius draws a line; an arc ending where it
  // starts draws nothing. The arc is split into cubics of at most 90 degrees.
  void ArcTo(double rx, double ry, double rotationDegrees, bool largeArc, bool sweep, DPoint p);
  // Closes the current subpath; the current point returns to its start.
  void Close();

  // The current point, and the start of the current subpath.
  DPoint current() const { return current_; }
  DPoint start() const { return start_; }
  bool HasSubpath() const { return open_; }

  // The subpaths built so far, in order.
  std::vector<DSubpath> Take();

 private:
  DAnchor& Last() { return subpaths_.back().anchors.back(); }
  // Starts a subpath at the current point when a drawing command follows a
  // close without a move.
  void EnsureSubpath();

  std::vector<DSubpath> subpaths_;
  DPoint current_;
  DPoint start_;
  bool open_ = false;  // a subpath is being drawn (not yet closed)
};

// The host segments of `subpath` transformed by `matrix`. Each coordinate is
// computed in double precision and rounded once to a 32-bit float. For a
// closed subpath whose last anchor lands on its first (after rounding), the
// two merge: the first anchor takes the last one's in handle. An anchor is a
// corner unless both handles are extended and point in opposite directions.
std::vector<PathSegment> ToHostSegments(const DSubpath& subpath, const SvgMatrix& matrix);

}  // namespace morvelin
