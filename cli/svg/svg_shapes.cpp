#include "cli/svg/svg_shapes.h"

namespace morvelin {

DSubpath EllipseSubpath(double cx, double cy, double rx, double ry) {
  const double hx = kQuarterHandle * rx, hy = kQuarterHandle * ry;
  DSubpath subpath;
  subpath.closed = true;
  // Each anchor's out handle leads towards the next anchor in the order
  // 0, 90, 180, 270 degrees.
  subpath.anchors = {
      DAnchor{{cx + rx, cy}, {cx + rx, cy - hy}, {cx + rx, cy + hy}},
      DAnchor{{cx, cy + ry}, {cx + hx, cy + ry}, {cx - hx, cy + ry}},
      DAnchor{{cx - rx, cy}, {cx - rx, cy + hy}, {cx - rx, cy - hy}},
      DAnchor{{cx, cy - ry}, {cx - hx, cy - ry}, {cx + hx, cy - ry}},
  };
  return subpath;
}

DSubpath RectSubpath(double x, double y, double width, double height, double rx, double ry) {
  DSubpath subpath;
  subpath.closed = true;
  const double right = x + width, bottom = y + height;
  if (rx <= 0 || ry <= 0) {
    for (DPoint p : {DPoint{x, y}, DPoint{right, y}, DPoint{right, bottom}, DPoint{x, bottom}}) {
      subpath.anchors.push_back(DAnchor{p, p, p});
    }
    return subpath;
  }
  const double hx = kQuarterHandle * rx, hy = kQuarterHandle * ry;
  // Each corner: the anchor where the arc begins (its out handle along the
  // side) and where it ends (its in handle along the next side).
  struct Corner {
    DAnchor begin, end;
  };
  const Corner corners[4] = {
      {{{right - rx, y}, {right - rx, y}, {right - rx + hx, y}},
       {{right, y + ry}, {right, y + ry - hy}, {right, y + ry}}},
      {{{right, bottom - ry}, {right, bottom - ry}, {right, bottom - ry + hy}},
       {{right - rx, bottom}, {right - rx + hx, bottom}, {right - rx, bottom}}},
      {{{x + rx, bottom}, {x + rx, bottom}, {x + rx - hx, bottom}},
       {{x, bottom - ry}, {x, bottom - ry + hy}, {x, bottom - ry}}},
      {{{x, y + ry}, {x, y + ry}, {x, y + ry - hy}}, {{x + rx, y}, {x + rx - hx, y}, {x + rx, y}}},
  };
  // Start at (x+rx, y): the end of the top-left corner.
  subpath.anchors.push_back(corners[3].end);
  for (int i = 0; i < 4; ++i) {
    DAnchor begin = corners[i].begin;
    DAnchor& last = subpath.anchors.back();
    if (last.p == begin.p) {
      // The side between two corners has no length: one anchor carries both
      // curves.
      last.out = begin.out;
    } else {
      subpath.anchors.push_back(begin);
    }
    // The last corner ends on the first anchor, which already has its in
    // handle.
    if (i < 3) subpath.anchors.push_back(corners[i].end);
  }
  return subpath;
}

DSubpath PolylineSubpath(const std::vector<DPoint>& points, bool closed) {
  DSubpath subpath;
  subpath.closed = closed;
  for (DPoint p : points) subpath.anchors.push_back(DAnchor{p, p, p});
  return subpath;
}

}  // namespace morvelin
