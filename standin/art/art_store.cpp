#include "standin/art/art_store.h"

#include <algorithm>

#include "standin/journal/handle_serials.h"

namespace standin {

ArtObject* ArtStore::Adopt(std::unique_ptr<ArtObject> art, ArtObject* parent) {
  ArtObject* raw = art.get();
  objects_.emplace(raw, std::move(art));
  NoteNewHandle(raw);
  if (parent != nullptr) {
    raw->parent = parent;
    parent->children.push_back(raw);
  }
  return raw;
}

ArtObject* ArtStore::NewGroup(ArtObject* parent) {
  auto art = std::make_unique<ArtObject>();
  art->type = kArtTypeGroup;
  return Adopt(std::move(art), parent);
}

ArtObject* ArtStore::NewPath(ArtObject* parent, std::vector<PathSegment> segments, bool closed,
                             const PathStyle& style) {
  auto art = std::make_unique<ArtObject>();
  art->type = kArtTypePath;
  art->segments = std::move(segments);
  art->closed = closed;
  art->style = style;
  return Adopt(std::move(art), parent);
}

ArtObject* ArtStore::NewCompoundPath(ArtObject* parent, const PathStyle& style) {
  auto art = std::make_unique<ArtObject>();
  art->type = kArtTypeCompoundPath;
  art->style = style;
  return Adopt(std::move(art), parent);
}

ArtObject* ArtStore::NewForeign(ArtObject* parent, int16_t type, std::string source) {
  auto art = std::make_unique<ArtObject>();
  art->type = type;
  art->foreign = std::move(source);
  return Adopt(std::move(art), parent);
}

ArtObject* ArtStore::Copy(const ArtObject* art) {
  auto copy = std::make_unique<ArtObject>(*art);
  copy->parent = nullptr;
  copy->children.clear();
  ArtObject* raw = Adopt(std::move(copy), nullptr);
  for (const ArtObject* child : art->children) {
    ArtObject* childCopy = Copy(child);
    childCopy->parent = raw;
    raw->children.push_back(childCopy);
  }
  return raw;
}

void ArtStore::Detach(ArtObject* art) {
  if (art->parent == nullptr) return;
  auto& siblings = art->parent->children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), art));
  art->parent = nullptr;
}

bool ArtStore::Place(ArtObject* art, int16_t paintOrder, ArtObject* prep) {
  const bool inside = paintOrder == kPlaceInsideOnTop || paintOrder == kPlaceInsideOnBottom;
  const bool beside = paintOrder == kPlaceAbove || paintOrder == kPlaceBelow;
  if (prep == nullptr || prep == art) return false;
  if (inside && prep->type != kArtTypeGroup && prep->type != kArtTypeCompoundPath) return false;
  if (beside && prep->parent == nullptr) return false;
  if (!inside && !beside) return false;
  // An object cannot go inside itself or its own descendants.
  for (const ArtObject* up = prep; up != nullptr; up = up->parent) {
    if (up == art) return false;
  }
  Detach(art);
  ArtObject* group = inside ? prep : prep->parent;
  auto& siblings = group->children;
  auto at = siblings.begin();
  switch (paintOrder) {
    case kPlaceInsideOnTop: at = siblings.end(); break;
    case kPlaceInsideOnBottom: at = siblings.begin(); break;
    case kPlaceAbove: at = std::find(siblings.begin(), siblings.end(), prep) + 1; break;
    default: at = std::find(siblings.begin(), siblings.end(), prep); break;
  }
  siblings.insert(at, art);
  art->parent = group;
  return true;
}

void ArtStore::Dispose(ArtObject* art) {
  Detach(art);
  std::vector<ArtObject*> pending{art};
  while (!pending.empty()) {
    ArtObject* next = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), next->children.begin(), next->children.end());
    objects_.erase(next);
    ++disposed_;
  }
}

}  // namespace standin
