// Areas of path art for the tests: flattened finely, and for the area painted
// under the fill rule, resolved on the unite's grid.
#pragma once

struct ArtObject;

namespace standin {

// The sum of the shoelace areas of the contours of a path or compound path:
// a contour counts positive when it runs counter-clockwise with v pointing
// upwards, negative otherwise, so a hole drawn against its outline subtracts.
// 0 for other art; NaN when a coordinate is out of the unite's range or the
// outline has too many points.
double SignedOutlineArea(const ArtObject& art);

// The area a path or compound path paints under its fill rule (the style's
// even-odd flag), never negative. 0 for other art; NaN as above.
double FilledOutlineArea(const ArtObject& art);

}  // namespace standin
