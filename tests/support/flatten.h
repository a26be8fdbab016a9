// Flattening of path art into polygons, for measuring in the tests and the
// unite benchmark: every cubic segment is replaced by straight pieces that
// stay within a tolerance of the curve. (The unite itself flattens its
// sources in standin/unite/source_contours.cpp.)
#pragma once

#include <cstddef>
#include <vector>

struct ArtObject;

namespace standin {

// A point of a flattened outline, in document units.
struct FlatPoint {
  double h;
  double v;
};

// One closed polygon; the edge from the last point back to the first is
// implied.
using Contour = std::vector<FlatPoint>;

struct FlattenLimits {
  // Largest distance between a curve and the straight pieces that replace it.
  double tolerance;
  // Largest magnitude accepted for any anchor or handle coordinate.
  double maxCoordinate;
  // Largest number of points all contours may hold together.
  std::size_t maxPoints;
};

enum class FlattenResult {
  kOk,
  kOutOfRange,    // a coordinate is not finite or exceeds maxCoordinate
  kTooManyPoints  // the contours would exceed maxPoints
};

// Appends the contours of a path (one contour) or of a compound path (one per
// path inside it) to *contours. Every segment's curve is subdivided until
// each piece lies within the tolerance. A closed path includes its closing
// segment; an open path is closed by a straight edge, as its fill is painted.
// Other art types add nothing. On a result other than kOk, *contours may hold
// part of the outline and should be discarded.
FlattenResult FlattenArt(const ArtObject& art, const FlattenLimits& limits, std::vector<Contour>* contours);

}  // namespace standin
