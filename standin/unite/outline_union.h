// Uniting filled polygons: the area each shape paints, merged into outlines
// with their holes. The work is done by Clipper on an integer grid.
#pragma once

#include <vector>

#include "standin/unite/flatten.h"

namespace standin {

// Clipper works on integers: a coordinate is multiplied by this factor and
// rounded to the nearest whole number, a grid step of 1/1024 (about 0.00098)
// document units. Being a power of two, the multiplication and the way back
// are exact; the rounding to the grid is the only loss.
constexpr double kGridStepsPerUnit = 1024.0;

// The largest coordinate magnitude the unite accepts. 1e6 × 1024 stays below
// Clipper's 2^30 bound, under which its products fit in 64 bits.
constexpr double kMaxUniteCoordinate = 1.0e6;

// How the unite flattens curves. The tolerance of 0.005 units keeps a
// flattened circle of radius 100 within 0.005% of its area (the straight
// pieces cut off at most 3/4 of the tolerance inside the curve). The point
// limit bounds the memory one unite may take: about 2^24 points (a few
// hundred megabytes at worst), room for 300 circles and all their bridges.
constexpr FlattenLimits kUniteFlattening{0.005, kMaxUniteCoordinate, std::size_t{1} << 24};

// The polygons of one object and the rule that decides what they paint.
struct FilledShape {
  std::vector<Contour> contours;
  bool evenOdd = false;  // false: non-zero winding
};

// One united outline: its outer boundary and the holes inside it. The outer
// boundary has positive shoelace area (counter-clockwise with v upwards) and
// the holes negative, so the non-zero and even-odd rules paint it alike.
struct Outline {
  Contour outer;
  std::vector<Contour> holes;
};

// Unites the areas painted by the shapes. Each shape is first resolved by its
// own fill rule, so that the direction in which a shape was drawn cannot cut
// holes where it overlaps another; the resolved shapes are then united by the
// non-zero rule. An island inside a hole is an outline of its own. With
// removeRedundantPoints, points lying exactly on the line through their
// neighbours are dropped. Coordinates must lie within kMaxUniteCoordinate;
// Clipper throws for coordinates beyond its range.
std::vector<Outline> UniteShapes(const std::vector<FilledShape>& shapes, bool removeRedundantPoints);

// The area the shape paints under its fill rule, in square document units.
double FilledArea(const FilledShape& shape);

// The shoelace area of a polygon: positive when it runs counter-clockwise with
// v pointing upwards.
double ContourArea(const Contour& contour);

}  // namespace standin
