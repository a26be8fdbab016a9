#include "standin/unite/outline_union.h"

#include <cmath>
#include <polyclipping/clipper.hpp>
#include <utility>

namespace standin {

namespace {

// Rounds to the nearest grid point; the multiplication by a power of two is
// exact, this rounding is the unite's only loss of precision on the way in.
ClipperLib::Path ToGrid(const Contour& contour) {
  ClipperLib::Path path;
  path.reserve(contour.size());
  for (const FlatPoint& p : contour) {
    path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.h * kGridStepsPerUnit)),
                      static_cast<ClipperLib::cInt>(std::llround(p.v * kGridStepsPerUnit)));
  }
  return path;
}

// Exact: every grid coordinate within range is a multiple of 1/1024 that a
// double holds without rounding.
Contour FromGrid(const ClipperLib::Path& path) {
  Contour contour;
  contour.reserve(path.size());
  for (const ClipperLib::IntPoint& p : path) {
    contour.push_back(FlatPoint{static_cast<double>(p.X) / kGridStepsPerUnit,
                                static_cast<double>(p.Y) / kGridStepsPerUnit});
  }
  return contour;
}

// The shape's painted area as polygons with outer boundaries positive and
// holes negative.
ClipperLib::Paths ResolveShape(const FilledShape& shape, bool removeRedundantPoints) {
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(!removeRedundantPoints);
  for (const Contour& contour : shape.contours) {
    if (contour.size() >= 3) clipper.AddPath(ToGrid(contour), ClipperLib::ptSubject, true);
  }
  const ClipperLib::PolyFillType rule = shape.evenOdd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero;
  ClipperLib::Paths resolved;
  clipper.Execute(ClipperLib::ctUnion, resolved, rule, rule);
  return resolved;
}

// The union of resolved shapes (outer boundaries positive, holes negative),
// in the same form.
ClipperLib::Paths UnitePaths(const ClipperLib::Paths& a, const ClipperLib::Paths& b,
                             bool removeRedundantPoints) {
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(!removeRedundantPoints);
  clipper.AddPaths(a, ClipperLib::ptSubject, true);
  clipper.AddPaths(b, ClipperLib::ptSubject, true);
  ClipperLib::Paths united;
  clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  return united;
}

// Outer nodes of the tree, at any depth (islands in holes included), each
// with the holes directly inside it.
void CollectOutlines(const ClipperLib::PolyNode& node, std::vector<Outline>* outlines) {
  for (const ClipperLib::PolyNode* child : node.Childs) {
    if (child->IsHole()) {
      CollectOutlines(*child, outlines);
      continue;
    }
    Outline outline;
    outline.outer = FromGrid(child->Contour);
    for (const ClipperLib::PolyNode* hole : child->Childs) outline.holes.push_back(FromGrid(hole->Contour));
    outlines->push_back(std::move(outline));
    for (const ClipperLib::PolyNode* hole : child->Childs) CollectOutlines(*hole, outlines);
  }
}

}  // namespace

std::vector<Outline> UniteShapes(const std::vector<FilledShape>& shapes, bool removeRedundantPoints) {
  std::vector<ClipperLib::Paths> parts;
  for (const FilledShape& shape : shapes) parts.push_back(ResolveShape(shape, removeRedundantPoints));
  // Uniting in pairs, then pairs of pairs, drops the edges inside each union
  // early; one sweep over hundreds of overlapping shapes at once meets far
  // more crossings and is many times slower.
  while (parts.size() > 1) {
    std::vector<ClipperLib::Paths> merged;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
      merged.push_back(UnitePaths(parts[i], parts[i + 1], removeRedundantPoints));
    }
    if (parts.size() % 2 == 1) merged.push_back(std::move(parts.back()));
    parts = std::move(merged);
  }
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(!removeRedundantPoints);
  if (!parts.empty()) clipper.AddPaths(parts[0], ClipperLib::ptSubject, true);
  ClipperLib::PolyTree tree;
  clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  std::vector<Outline> outlines;
  CollectOutlines(tree, &outlines);
  return outlines;
}

double FilledArea(const FilledShape& shape) {
  double area = 0;
  // Resolved outer boundaries count positive and holes negative.
  for (const ClipperLib::Path& path : ResolveShape(shape, true)) area += ClipperLib::Area(path);
  return area / (kGridStepsPerUnit * kGridStepsPerUnit);
}

double ContourArea(const Contour& contour) {
  double twice = 0;
  for (std::size_t i = 0, n = contour.size(); i < n; ++i) {
    const FlatPoint& a = contour[i];
    const FlatPoint& b = contour[(i + 1) % n];
    twice += a.h * b.v - b.h * a.v;
  }
  return twice / 2;
}

}  // namespace standin
