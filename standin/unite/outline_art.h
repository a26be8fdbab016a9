// Art for united outlines: straight closed paths, and compound paths for
// outlines with holes.
#pragma once

#include <vector>

#include "host_api/host_api.h"
#include "standin/unite/outline_union.h"

namespace standin {

class ArtStore;

// The path segments of one outline, ready to become art.
struct OutlineSegments {
  std::vector<PathSegment> outer;
  std::vector<std::vector<PathSegment>> holes;
};

// Turns contours into path segments: straight pieces, every handle retracted
// onto its anchor, every anchor a corner. Points that coincide once rounded to
// the host's 32-bit reals are merged; a contour left with fewer than three
// points is dropped, and so is an outline whose outer boundary is dropped.
// Returns false when a contour keeps more points than a path can hold
// (32767), leaving *segments unspecified.
bool MakeOutlineSegments(const std::vector<Outline>& outlines, std::vector<OutlineSegments>* segments);

// Creates one object per outline, with `style`: a closed path, or a compound
// path holding the outer boundary and then its holes. Each is placed directly
// below `below` in its group, so the new objects, the first outline lowest,
// take the place where `below` stands; when `below` is a root they stay roots. Returns the number of art
// objects created, compound paths and the paths inside them counted alike.
int PlaceOutlines(ArtStore& store, const std::vector<OutlineSegments>& outlines, const PathStyle& style,
                  ArtObject* below);

}  // namespace standin
