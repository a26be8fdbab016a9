// Uniting filled polygons on an integer grid with Clipper: the area each
// shape paints, merged into outlines with their holes.
#pragma once

#include <cstddef>
#include <polyclipping/clipper.hpp>
#include <utility>
#include <vector>

namespace standin {

// Clipper works on integers: a coordinate is multiplied by this factor and
// rounded to the nearest whole number, a grid step of 1/1024 (about 0.00098)
// document units. Being a power of two, the multiplication and the way back
// are exact; the rounding to the grid is the only loss.
constexpr double kGridStepsPerUnit = 1024.0;

// The largest coordinate magnitude the unite accepts. 1e6 × 1024 stays below
// Clipper's 2^30 bound, under which its products fit in 64 bits.
constexpr double kMaxUniteCoordinate = 1.0e6;

// Unites shapes one at a time, keeping only partial unions: shape k is
// merged with the union of the shapes before it in the way a binary counter
// carries, so that every merge joins two unions of about the same number of
// shapes. Memory is the partial unions (at most one per power of two), never
// every shape's polygons at once; and merging in pairs drops the edges inside
// each union early, which one sweep over hundreds of overlapping shapes does
// not. Collinear points are kept, so every vertex of the result is either a
// vertex of some shape or a crossing of two shapes' edges.
class GridUnion {
 public:
  // Adds a shape's contours (grid coordinates), resolved by its own fill rule
  // (pairs of shapes in one pass), so that the direction in which a shape was
  // drawn cannot cut holes where it overlaps another. Contours of fewer than
  // three points paint nothing.
  void AddShape(const ClipperLib::Paths& contours, bool evenOdd);
  // The union of every shape added, by the non-zero rule, as polygons (outer
  // boundaries positive, holes negative), for UnionTree or for merging with
  // other partial unions; empty when nothing was painted. The GridUnion is
  // empty afterwards.
  ClipperLib::Paths FinishPaths();

 private:
  void Push(ClipperLib::Paths paths, int level);
  std::vector<std::pair<int, ClipperLib::Paths>> stack_;  // (level, partial union)
  // A shape waits for the next one, and the two are resolved and united in
  // one pass.
  ClipperLib::Paths pending_;
  bool pendingEvenOdd_ = false;
  bool hasPending_ = false;
};

// Two partial unions merged as GridUnion merges its own (the earlier shapes'
// polygons handed to Clipper first). An empty side leaves the other as it
// is, as GridUnion keeps no empty union to merge.
ClipperLib::Paths MergeUnions(ClipperLib::Paths earlier, ClipperLib::Paths later);

// The polygons of a union as a tree of outer boundaries (positive area,
// counter-clockwise with v upwards) and holes.
void UnionTree(const ClipperLib::Paths& united, ClipperLib::PolyTree* tree);

}  // namespace standin
