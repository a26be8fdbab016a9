#include "standin/unite/outline_union.h"

#include <cmath>
#include <utility>

namespace standin {

namespace {

// The painted area as polygons with outer boundaries positive and holes
// negative.
ClipperLib::Paths Resolve(const ClipperLib::Paths& contours, bool evenOdd, bool preserveCollinear) {
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(preserveCollinear);
  for (const ClipperLib::Path& contour : contours) {
    if (contour.size() >= 3) clipper.AddPath(contour, ClipperLib::ptSubject, true);
  }
  const ClipperLib::PolyFillType rule = evenOdd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero;
  ClipperLib::Paths resolved;
  clipper.Execute(ClipperLib::ctUnion, resolved, rule, rule);
  return resolved;
}

ClipperLib::Paths UnitePaths(const ClipperLib::Paths& a, const ClipperLib::Paths& b) {
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(true);
  clipper.AddPaths(a, ClipperLib::ptSubject, true);
  clipper.AddPaths(b, ClipperLib::ptSubject, true);
  ClipperLib::Paths united;
  clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  return united;
}

}  // namespace

void GridUnion::Push(ClipperLib::Paths paths, int level) {
  while (!stack_.empty() && stack_.back().first == level) {
    ClipperLib::Paths merged = UnitePaths(stack_.back().second, paths);
    stack_.pop_back();
    paths = std::move(merged);
    ++level;
  }
  stack_.emplace_back(level, std::move(paths));
}

void GridUnion::AddShape(const ClipperLib::Paths& contours, bool evenOdd) {
  if (!hasPending_) {
    pending_ = contours;
    pendingEvenOdd_ = evenOdd;
    hasPending_ = true;
    return;
  }
  hasPending_ = false;
  // Two shapes in one pass: Clipper reads the subject and the clip each by
  // its own fill rule and unites what either paints.
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(true);
  for (const ClipperLib::Path& contour : pending_) {
    if (contour.size() >= 3) clipper.AddPath(contour, ClipperLib::ptSubject, true);
  }
  for (const ClipperLib::Path& contour : contours) {
    if (contour.size() >= 3) clipper.AddPath(contour, ClipperLib::ptClip, true);
  }
  auto rule = [](bool e) { return e ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero; };
  ClipperLib::Paths united;
  clipper.Execute(ClipperLib::ctUnion, united, rule(pendingEvenOdd_), rule(evenOdd));
  pending_.clear();
  if (!united.empty()) Push(std::move(united), 1);
}

ClipperLib::Paths GridUnion::FinishPaths() {
  if (hasPending_) {
    hasPending_ = false;
    ClipperLib::Paths resolved = Resolve(pending_, pendingEvenOdd_, true);
    pending_.clear();
    if (!resolved.empty()) Push(std::move(resolved), 0);
  }
  // The smaller partial unions sit on top; merge them downwards.
  while (stack_.size() > 1) {
    ClipperLib::Paths top = std::move(stack_.back().second);
    stack_.pop_back();
    stack_.back().second = UnitePaths(stack_.back().second, top);
  }
  ClipperLib::Paths united;
  if (!stack_.empty()) united = std::move(stack_.back().second);
  stack_.clear();
  return united;
}

ClipperLib::Paths MergeUnions(ClipperLib::Paths earlier, ClipperLib::Paths later) {
  if (earlier.empty()) return later;
  if (later.empty()) return earlier;
  return UnitePaths(earlier, later);
}

void UnionTree(const ClipperLib::Paths& united, ClipperLib::PolyTree* tree) {
  ClipperLib::Clipper clipper;
  clipper.PreserveCollinear(true);
  clipper.AddPaths(united, ClipperLib::ptSubject, true);
  clipper.Execute(ClipperLib::ctUnion, *tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
}

}  // namespace standin
