// The art tree: creating, copying, placing and disposing of art objects, with
// the count of live objects and of objects made by host operations.
//
// Every object is owned by the store. A handle is valid from its creation
// until it (or an ancestor) is disposed of, or the store goes away; IsLive
// tells whether a handle is one the store gave out and still holds.
#pragma once

#include <string>
#include <vector>

#include "standin/art/art_arena.h"
#include "standin/art/art_object.h"

namespace standin {

class ArtStore {
 public:
  // New objects: a root when parent is null, otherwise the parent's new top
  // child.
  ArtObject* NewGroup(ArtObject* parent = nullptr);
  ArtObject* NewPath(ArtObject* parent, std::vector<PathSegment> segments, bool closed,
                     const PathStyle& style);
  ArtObject* NewCompoundPath(ArtObject* parent, const PathStyle& style);
  ArtObject* NewForeign(ArtObject* parent, int16_t type, std::string source);

  // A deep copy of `art`, not yet placed (a root). Throws std::bad_alloc
  // when memory runs out, and then leaves no part of the copy behind.
  ArtObject* Copy(const ArtObject* art);
  // Takes `art` out of its group (it becomes a root) and places it relative
  // to `prep` as a kPlace* paint order says. Returns false for a paint order
  // that does not fit `prep` (inside a non-group, or beside a root).
  bool Place(ArtObject* art, int16_t paintOrder, ArtObject* prep);
  // Takes `art` out of its group; it becomes a root.
  void Detach(ArtObject* art);
  // Removes `art` and its descendants; their handles become invalid. Needs
  // no memory, so it cannot fail.
  void Dispose(ArtObject* art);
  // Dispose for each of `arts` (distinct, none inside another); each leaves
  // its group in constant time, so the whole is linear in their number.
  void DisposeAll(const std::vector<ArtObject*>& arts);

  bool IsLive(const ArtObject* art) const { return objects_.Holds(art); }
  int Live() const { return static_cast<int>(objects_.live()); }
  // Objects created by host operations (duplicates, unite results) since the
  // store was made, and how many of all objects were disposed of.
  int MadeByHost() const { return madeByHost_; }
  void CountAsMadeByHost(int n) { madeByHost_ += n; }
  int Disposed() const { return disposed_; }

  // Exact bounds of the curves of a path, a compound path or a group's paths;
  // an empty rectangle (all zero) when there are none. The vertical axis
  // points up (top >= bottom). With `withStroke`, stroked paths add half their
  // stroke width (not transformed by the matrix) on every side.
  static HostRect Bounds(const ArtObject* art, const HostMatrix* matrix, bool withStroke);

 private:
  ArtObject* Adopt(ArtObject* art, ArtObject* parent);
  ArtArena objects_;
  int madeByHost_ = 0;
  int disposed_ = 0;
};

// Registers "AI Art Suite", "AI Path Suite", "AI Path Style Suite" and
// "AI Real Math Suite".
void RegisterArtSuites(class Host& host);

}  // namespace standin
