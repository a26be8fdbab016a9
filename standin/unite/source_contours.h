// The listed objects' contours as the unite sees them: closed rings of
// pieces, and their flattening onto the unite's integer grid with the curve
// parameter of every flattened point.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/unite/bezier.h"

struct ArtObject;

namespace standin {

// A path of n anchors is a ring of pieces. Closed, piece k runs from anchor k
// to anchor k + 1 (the last one back to anchor 0). Open, the last piece is
// the straight edge from the last anchor back to the first, as the path's
// fill is painted. A ring position u in [0, n) is piece floor(u) at
// parameter u - floor(u).
int PieceCount(const ArtObject& path);
CubicPiece PieceOf(const ArtObject& path, int k);
// Whether anchor k may have a bend (its corner flag); anchors next to an open
// path's closing edge always do.
bool IsCornerAnchor(const ArtObject& path, int k);

// A point of a flattened contour: its grid coordinates and its ring
// position.
struct GridVertex {
  int64_t x;
  int64_t y;
  double u;
};

// Flattens a path's ring into grid vertices: each curved piece is halved
// (de Casteljau) until both control points lie within `tolerance` of the
// chord, and each flat part contributes its start point. Where a flat part
// bulges towards the side the ring paints (left of its direction when its
// area is positive, right when negative), it contributes the corner of its
// end tangents instead (or its control points' hull corners on that side),
// so that the polygon never paints more than the ring's curves do, up to
// the grid's rounding; those corners carry the ring position of the curve
// point they stand for, within their flat part. Straight pieces contribute
// their start anchor only. Repeated grid points (consecutive, and
// the last against the first) are dropped. `gridStepsPerUnit` scales
// coordinates before rounding to the nearest integer.
void FlattenRing(const ArtObject& path, double tolerance, double gridStepsPerUnit,
                 std::vector<GridVertex>* out);

// The contours of a path (itself) or a compound path (its paths), in order.
void ContoursOf(const ArtObject& art, std::vector<const ArtObject*>* contours);

}  // namespace standin
