// Leaving out of a unite the shapes that cannot change its result: those
// that lie wholly inside shapes kept before them. Most of the bridges the
// effect makes between far circles run inside circles and shorter bridges
// from end to end; flattening, clipping and tracing them back costs most of
// a large unite and adds nothing.
#pragma once

#include <cstddef>
#include <vector>

struct ArtObject;

namespace standin {

// The objects (paths and compound paths, each read by its own fill rule, as
// the unite reads them) that are kept, in list order. The drawing is cut
// into square cells; an object is left out only when every cell that its
// control points' convex hull touches, or failing that every cell within
// `margin` of its curves or painted by it, is covered: lies, whole, in the
// painted area of a kept object and farther than `margin` from that
// object's curves. So an object that adds any area is always kept, and the
// kept objects' union is the union of all, with every left-out object more
// than `margin` inside it. The unite passes a margin above its flattening's
// worst departure from the curves, so that the left-out objects'
// flattenings also lie inside the kept ones' and the polygon union is the
// same. Objects with no area are kept.
//
// The objects are taken in a fixed order: compact shapes (circles), largest
// first, then elongated ones (bridges) from the shortest, so that the short
// bridges between neighbours are in before the long ones that run over
// them; then the kept ones again, the last kept first, each left out when
// it lies inside the others still kept. The result depends on nothing but
// the objects and the margin.
std::vector<ArtObject*> ShapesNotCovered(const std::vector<ArtObject*>& objects, double margin);

}  // namespace standin
