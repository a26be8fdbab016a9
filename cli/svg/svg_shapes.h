// SVG's basic shapes as subpaths.
#pragma once

#include <vector>

#include "cli/svg/svg_curves.h"

namespace morvelin {

// The handle length of a quarter ellipse, as a fraction of its radius.
constexpr double kQuarterHandle = 0.5522847;

// A closed subpath of four cubics with anchors at 0, 90, 180 and 270 degrees:
// (cx+rx, cy), (cx, cy+ry), (cx-rx, cy), (cx, cy-ry); handles
// kQuarterHandle * radius long, along the tangents. A circle is rx == ry.
DSubpath EllipseSubpath(double cx, double cy, double rx, double ry);

// A rectangle from (x, y), clockwise on screen: corners (x, y), (x+w, y),
// (x+w, y+h), (x, y+h). With rounded corners (rx, ry both > 0, already
// clamped to half the sides) each corner is a quarter ellipse and the subpath
// starts at (x+rx, y); straight sides of zero length are left out.
DSubpath RectSubpath(double x, double y, double width, double height, double rx, double ry);

// Straight lines through `points`, closed or open.
DSubpath PolylineSubpath(const std::vector<DPoint>& points, bool closed);

}  // namespace morvelin
