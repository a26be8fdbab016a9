#include "tests/support/outline_area.h"

#include <cmath>
#include <polyclipping/clipper.hpp>
#include <vector>

#include "standin/art/art_object.h"
#include "standin/unite/outline_union.h"
#include "tests/support/flatten.h"

namespace standin {

namespace {

// How finely areas are measured: 0.005 units keeps a flattened circle of
// radius 100 within 0.005% of its area. The point limit bounds the memory one
// measurement may take.
constexpr FlattenLimits kAreaFlattening{0.005, kMaxUniteCoordinate, std::size_t{1} << 24};

bool FlattenForArea(const ArtObject& art, std::vector<Contour>* contours) {
  return FlattenArt(art, kAreaFlattening, contours) == FlattenResult::kOk;
}

// The shoelace area of a polygon: positive when it runs counter-clockwise with
// v pointing upwards.
double ContourArea(const Contour& contour) {
  double twice = 0;
  for (std::size_t i = 0, n = contour.size(); i < n; ++i) {
    const FlatPoint& a = contour[i];
    const FlatPoint& b = contour[(i + 1) % n];
    twice += a.h * b.v - b.h * a.v;
  }
  return twice / 2;
}

// Rounds to the nearest point of the unite's grid.
ClipperLib::Path ToGrid(const Contour& contour) {
  ClipperLib::Path path;
  path.reserve(contour.size());
  for (const FlatPoint& p : contour) {
    path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.h * kGridStepsPerUnit)),
                      static_cast<ClipperLib::cInt>(std::llround(p.v * kGridStepsPerUnit)));
  }
  return path;
}

// The area the contours paint under the fill rule, in square document units,
// resolved on the unite's grid.
double FilledArea(const std::vector<Contour>& contours, bool evenOdd) {
  ClipperLib::Clipper clipper;
  for (const Contour& contour : contours) {
    const ClipperLib::Path path = ToGrid(contour);
    if (path.size() >= 3) clipper.AddPath(path, ClipperLib::ptSubject, true);
  }
  const ClipperLib::PolyFillType rule = evenOdd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero;
  ClipperLib::Paths resolved;
  clipper.Execute(ClipperLib::ctUnion, resolved, rule, rule);
  double area = 0;
  // Resolved outer boundaries count positive and holes negative.
  for (const ClipperLib::Path& path : resolved) area += ClipperLib::Area(path);
  return area / (kGridStepsPerUnit * kGridStepsPerUnit);
}

}  // namespace

double SignedOutlineArea(const ArtObject& art) {
  std::vector<Contour> contours;
  if (!FlattenForArea(art, &contours)) return std::nan("");
  double area = 0;
  for (const Contour& contour : contours) area += ContourArea(contour);
  return area;
}

double FilledOutlineArea(const ArtObject& art) {
  std::vector<Contour> contours;
  if (!FlattenForArea(art, &contours)) return std::nan("");
  return FilledArea(contours, art.style->evenOddFill != 0);
}

}  // namespace standin
