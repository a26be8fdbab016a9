// Art for united outlines: closed paths, and compound paths for outlines
// with holes.
#pragma once

#include <vector>

#include "host_api/host_api.h"

namespace standin {

class ArtStore;

// The path segments of one outline, ready to become art.
struct OutlineSegments {
  std::vector<PathSegment> outer;
  std::vector<std::vector<PathSegment>> holes;
};

// Creates one object per outline, with `style`: a closed path, or a compound
// path holding the outer boundary and then its holes. Each is placed directly
// below `below` in its group, so the new objects, the first outline lowest,
// take the place where `below` stands; when `below` is a root they stay roots. Returns the number of art
// objects created, compound paths and the paths inside them counted alike.
int PlaceOutlines(ArtStore& store, const std::vector<OutlineSegments>& outlines, const PathStyle& style,
                  ArtObject* below);

}  // namespace standin
