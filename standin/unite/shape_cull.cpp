#include "standin/unite/shape_cull.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "standin/art/art_object.h"
#include "standin/unite/bezier.h"
#include "standin/unite/coverage_bitmap.h"
#include "standin/unite/source_contours.h"

namespace standin {

namespace {

// Why leaving an object out cannot change the union.
//
// The drawing's box is cut into square cells. A cell is marked covered only
// when, whole and closed, it lies in the painted area of one kept object and
// farther than `margin` from that object's curves: each curve piece is
// halved until its control points' box is at most a cell wide, and a cell
// that no such box (grown by the margin) touches is farther than the margin
// from every curve (a cubic lies in its control points' hull, so in that
// box). Such a cell does not meet the object's boundary, so the winding
// number is the same all over it; it is taken at the cell's centre from the
// chords of the halved pieces, which gives the curves' own winding number
// there, since the centre lies outside every box and so outside the region
// between each piece and its chord. The object's fill rule then says
// whether that winding paints.
//
// An object is left out only when every cell its control points' convex
// hull touches is covered. Its painted area lies in that hull, so in the
// union of the kept objects, and adds nothing. Its flattening (whose points
// are curve points and hull corners of its own pieces, up to the grid's
// rounding) lies in the same cells; the kept objects' flattenings depart
// from their curves by less than the margin, so they still paint every
// covered cell and the flattened union is the same too, with the left-out
// flattening's edges more than a few grid steps inside it, where the
// tracing back of the result's vertices never looks.

// The most cells the coverage holds (2 MB of bits, 64 MB of counts for the
// second pass); the cells grow to stay below it.
constexpr double kMaxCells = double(int64_t{1} << 24);
// A cell's side, as a share of the typical shape's width.
constexpr double kCellsPerWidth = 32;
// Shapes whose hull fills at least this share of the square of their length
// (a circle pi/4, a square 1/2, a bridge between neighbours about 1/3) are
// compact.
constexpr double kCompact = 0.45;

double Cross(const Vec2& o, const Vec2& a, const Vec2& b) {
  return (a.h - o.h) * (b.v - o.v) - (a.v - o.v) * (b.h - o.h);
}

// The object's control points: every piece's start anchor and handles.
void ControlPoints(const ArtObject& art, std::vector<const ArtObject*>* contours, std::vector<Vec2>* points) {
  contours->clear();
  points->clear();
  ContoursOf(art, contours);
  for (const ArtObject* path : *contours) {
    for (int k = 0; k < PieceCount(*path); ++k) {
      const CubicPiece c = PieceOf(*path, k);
      points->push_back(c.p0);
      points->push_back(c.p1);
      points->push_back(c.p2);
    }
  }
}

// The convex hull, counter-clockwise (Andrew's monotone chain).
void ConvexHull(std::vector<Vec2>* points, std::vector<Vec2>* hull) {
  hull->clear();
  std::sort(points->begin(), points->end(),
            [](const Vec2& a, const Vec2& b) { return a.h < b.h || (a.h == b.h && a.v < b.v); });
  if (points->size() < 3) {
    *hull = *points;
    return;
  }
  hull->resize(2 * points->size());
  std::size_t n = 0;
  for (const Vec2& p : *points) {
    while (n >= 2 && Cross((*hull)[n - 2], (*hull)[n - 1], p) <= 0) --n;
    (*hull)[n++] = p;
  }
  for (std::size_t i = points->size() - 1, lower = n + 1; i-- > 0;) {
    const Vec2& p = (*points)[i];
    while (n >= lower && Cross((*hull)[n - 2], (*hull)[n - 1], p) <= 0) --n;
    (*hull)[n++] = p;
  }
  hull->resize(n - 1);
}

double HullArea(const std::vector<Vec2>& hull) {
  double twice = 0;
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const Vec2& a = hull[i];
    const Vec2& b = hull[(i + 1) % hull.size()];
    twice += a.h * b.v - a.v * b.h;
  }
  return twice / 2;
}

// The hull's largest extent along four directions 45 degrees apart: within
// 8 % of its diameter.
double HullLength(const std::vector<Vec2>& hull) {
  double lo[4] = {1e300, 1e300, 1e300, 1e300}, hi[4] = {-1e300, -1e300, -1e300, -1e300};
  for (const Vec2& p : hull) {
    const double along[4] = {p.h, p.v, (p.h + p.v) * 0.7071067811865476, (p.h - p.v) * 0.7071067811865476};
    for (int d = 0; d < 4; ++d) lo[d] = std::min(lo[d], along[d]), hi[d] = std::max(hi[d], along[d]);
  }
  double length = 0;
  for (int d = 0; d < 4; ++d) length = std::max(length, hi[d] - lo[d]);
  return length;
}

struct Ranked {
  bool compact;
  double size;  // compact: area, larger first; elongated: length, shorter first
  std::size_t index;
};

}  // namespace

std::vector<ArtObject*> ShapesNotCovered(const std::vector<ArtObject*>& objects, double margin) {
  std::vector<const ArtObject*> contours;
  std::vector<Vec2> points, hull;
  std::vector<Ranked> ranked;
  std::vector<double> widths;
  ranked.reserve(objects.size());
  double lowH = 1e300, lowV = 1e300, highH = -1e300, highV = -1e300;
  std::vector<bool> keep(objects.size(), false);
  for (std::size_t k = 0; k < objects.size(); ++k) {
    ControlPoints(*objects[k], &contours, &points);
    ConvexHull(&points, &hull);
    // Shapes with no area to speak of stay: they cost nothing.
    const double area = HullArea(hull), length = HullLength(hull);
    if (hull.size() < 3 || !(area > 0) || !(length > 0)) {
      keep[k] = true;
      continue;
    }
    for (const Vec2& p : hull) {
      lowH = std::min(lowH, p.h), highH = std::max(highH, p.h);
      lowV = std::min(lowV, p.v), highV = std::max(highV, p.v);
    }
    const bool compact = area >= kCompact * length * length;
    ranked.push_back(Ranked{compact, compact ? area : length, k});
    widths.push_back(area / length);
  }
  if (ranked.size() > 1) {
    std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2),
                     widths.end());
    const double width = widths[widths.size() / 2];
    const double cell = std::max(width / kCellsPerWidth,
                                 std::sqrt((highH - lowH + width) * (highV - lowV + width) / kMaxCells));
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
      if (a.compact != b.compact) return a.compact;
      if (a.size != b.size) return a.compact ? a.size > b.size : a.size < b.size;
      return a.index < b.index;
    });
    CoverageBitmap coverage(lowH, lowV, highH, highV, cell);
    std::vector<const Ranked*> keptRanked;
    for (const Ranked& r : ranked) {
      const ArtObject& art = *objects[r.index];
      ControlPoints(art, &contours, &points);
      ConvexHull(&points, &hull);
      if (coverage.Covers(hull)) continue;
      coverage.Trace(contours);
      const bool evenOdd = art.style->evenOddFill != 0;
      if (coverage.Inside(evenOdd, margin)) continue;
      keep[r.index] = true;
      coverage.MarkInside(evenOdd, margin);
      keptRanked.push_back(&r);
    }
    // A second look at the kept objects, the last kept first: an object
    // kept early (before the shapes over it were in) is left out when its
    // cells lie inside the other objects still kept. The counts always hold
    // the insides of exactly the objects still kept, so every object left
    // out lies inside the ones kept at the end.
    for (const Ranked* r : keptRanked) {
      const ArtObject& art = *objects[r->index];
      ControlPoints(art, &contours, &points);
      coverage.Trace(contours);
      coverage.Count(art.style->evenOddFill != 0, margin);
    }
    for (auto r = keptRanked.rbegin(); r != keptRanked.rend(); ++r) {
      const ArtObject& art = *objects[(*r)->index];
      const bool evenOdd = art.style->evenOddFill != 0;
      ControlPoints(art, &contours, &points);
      coverage.Trace(contours);
      if (coverage.InsideOthers(evenOdd, margin)) keep[(*r)->index] = false;
    }
  } else {
    for (const Ranked& r : ranked) keep[r.index] = true;
  }
  std::vector<ArtObject*> kept;
  for (std::size_t k = 0; k < objects.size(); ++k) {
    if (keep[k]) kept.push_back(objects[k]);
  }
  return kept;
}

}  // namespace standin
