#include "standin/art/art_store.h"

#include "standin/journal/handle_serials.h"

namespace standin {

ArtObject* ArtStore::Adopt(ArtObject* raw, ArtObject* parent) {
  NoteNewHandle(raw);
  if (parent != nullptr) {
    raw->parent = parent;
    parent->children.PushTop(raw);
  }
  return raw;
}

ArtObject* ArtStore::NewGroup(ArtObject* parent) {
  ArtObject* art = objects_.Make();
  art->type = kArtTypeGroup;
  return Adopt(art, parent);
}

ArtObject* ArtStore::NewPath(ArtObject* parent, std::vector<PathSegment> segments, bool closed,
                             const PathStyle& style) {
  ArtObject* art = objects_.Make();
  art->type = kArtTypePath;
  art->segments = std::move(segments);
  art->closed = closed;
  art->style = style;
  return Adopt(art, parent);
}

ArtObject* ArtStore::NewCompoundPath(ArtObject* parent, const PathStyle& style) {
  ArtObject* art = objects_.Make();
  art->type = kArtTypeCompoundPath;
  art->style = style;
  return Adopt(art, parent);
}

ArtObject* ArtStore::NewForeign(ArtObject* parent, int16_t type, std::string source) {
  ArtObject* art = objects_.Make();
  art->type = type;
  art->source.Edit().foreign = std::move(source);
  return Adopt(art, parent);
}

ArtObject* ArtStore::Copy(const ArtObject* art) {
  // The object's own copy starts with no children and in no group.
  ArtObject* raw = objects_.Make(*art);
  NoteNewHandle(raw);
  raw->parent = nullptr;
  try {
    for (const ArtObject* child : art->children) {
      ArtObject* childCopy = Copy(child);
      childCopy->parent = raw;
      raw->children.PushTop(childCopy);
    }
  } catch (...) {
    Dispose(raw);  // with the children copied so far
    throw;
  }
  return raw;
}

void ArtStore::Detach(ArtObject* art) {
  if (art->parent == nullptr) return;
  art->parent->children.Remove(art);
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
  ChildList& siblings = group->children;
  switch (paintOrder) {
    case kPlaceInsideOnTop: siblings.PushTop(art); break;
    case kPlaceInsideOnBottom: siblings.PushLowest(art); break;
    case kPlaceAbove: siblings.InsertAbove(prep, art); break;
    default: siblings.InsertBelow(prep, art); break;
  }
  art->parent = group;
  return true;
}

void ArtStore::Dispose(ArtObject* art) {
  Detach(art);
  // Children before their group, through the parent links: no stack, so
  // disposing of anything never needs memory and cannot fail.
  ArtObject* at = art;
  for (;;) {
    while (!at->children.empty()) at = at->children.front();
    ArtObject* group = at == art ? nullptr : at->parent;
    if (group != nullptr) group->children.Remove(at);
    objects_.Destroy(at);
    ++disposed_;
    if (group == nullptr) return;
    at = group;
  }
}

void ArtStore::DisposeAll(const std::vector<ArtObject*>& arts) {
  for (ArtObject* art : arts) Dispose(art);
}

}  // namespace standin
