// Turning a contour of the grid union back into curves: the runs of result
// vertices that follow one source contour are replaced by that contour's own
// pieces (whole where they survive whole, de Casteljau sub-pieces where they
// are cut), joined at the crossings of the sources, refined on both curves.
#pragma once

#include <cstdint>
#include <polyclipping/clipper.hpp>
#include <vector>

#include "host_api/host_api.h"
#include "standin/unite/provenance_index.h"

struct ArtObject;

namespace standin {

// The source contours of one unite, in the order they were flattened.
struct SourceTable {
  std::vector<const ArtObject*> contours;
  std::vector<uint32_t> flatCounts;  // points in each contour's flattening
};

struct RebuildSettings {
  double tolerance;         // the flattening's tolerance, in document units
  double gridStepsPerUnit;  // the grid's scale
  bool removeRedundantPoints;
};

// The closed path for one contour of the union, in the contour's direction.
// Anchors where two sources meet are corners; anchors of a source that
// survive keep their corner flag; a source piece that survives whole comes
// back with its exact anchors and handles. A stretch whose source cannot be
// told (a piece shorter than one flattening step between two crossings) stays
// straight between the crossings, within the tolerance of the curve. Pieces
// of zero length are dropped; with removeRedundantPoints, straight pieces
// that continue each other on one line are merged. Fewer than two segments
// (nothing painted) comes back empty.
std::vector<PathSegment> RebuildContour(const ClipperLib::Path& contour, const SourceTable& sources,
                                        const ProvenanceIndex& index, const RebuildSettings& settings);

}  // namespace standin
