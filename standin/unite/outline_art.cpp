#include "standin/unite/outline_art.h"

#include <utility>

#include "standin/art/art_store.h"

namespace standin {

namespace {

constexpr std::size_t kMaxPathSegments = 32767;

// Rounding to the host's 32-bit reals can make neighbouring grid points
// equal (beyond about 16000 units the float step exceeds the grid step);
// such repeats are merged, including the last point against the first.
std::vector<PathSegment> StraightSegments(const Contour& contour) {
  std::vector<PathSegment> segments;
  segments.reserve(contour.size());
  for (const FlatPoint& flat : contour) {
    const HostPoint p{static_cast<HostReal>(flat.h), static_cast<HostReal>(flat.v)};
    if (!segments.empty() && segments.back().p.h == p.h && segments.back().p.v == p.v) continue;
    segments.push_back(PathSegment{p, p, p, 1});
  }
  while (segments.size() > 1 && segments.back().p.h == segments.front().p.h &&
         segments.back().p.v == segments.front().p.v) {
    segments.pop_back();
  }
  if (segments.size() < 3) segments.clear();
  return segments;
}

ArtObject* NewOutlineArt(ArtStore& store, const OutlineSegments& outline, const PathStyle& style, int* made) {
  if (outline.holes.empty()) {
    ++*made;
    return store.NewPath(nullptr, outline.outer, true, style);
  }
  ArtObject* compound = store.NewCompoundPath(nullptr, style);
  store.NewPath(compound, outline.outer, true, style);
  for (const auto& hole : outline.holes) store.NewPath(compound, hole, true, style);
  *made += 2 + static_cast<int>(outline.holes.size());
  return compound;
}

}  // namespace

bool MakeOutlineSegments(const std::vector<Outline>& outlines, std::vector<OutlineSegments>* segments) {
  segments->clear();
  for (const Outline& outline : outlines) {
    OutlineSegments made;
    made.outer = StraightSegments(outline.outer);
    if (made.outer.empty()) continue;
    if (made.outer.size() > kMaxPathSegments) return false;
    for (const Contour& hole : outline.holes) {
      std::vector<PathSegment> holeSegments = StraightSegments(hole);
      if (holeSegments.empty()) continue;
      if (holeSegments.size() > kMaxPathSegments) return false;
      made.holes.push_back(std::move(holeSegments));
    }
    segments->push_back(std::move(made));
  }
  return true;
}

int PlaceOutlines(ArtStore& store, const std::vector<OutlineSegments>& outlines, const PathStyle& style,
                  ArtObject* below) {
  int made = 0;
  for (const OutlineSegments& outline : outlines) {
    ArtObject* art = NewOutlineArt(store, outline, style, &made);
    if (below->parent != nullptr) store.Place(art, kPlaceBelow, below);
  }
  return made;
}

}  // namespace standin
