#include "standin/unite/outline_art.h"

#include <utility>

#include "standin/art/art_store.h"

namespace standin {

namespace {

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
