#include "standin/unite/lowest_object.h"

#include <unordered_set>

#include "standin/art/art_object.h"

namespace standin {

namespace {

const ArtObject* RootOf(const ArtObject* art) {
  while (art->parent != nullptr) art = art->parent;
  return art;
}

}  // namespace

ArtObject* LowestInPaintOrder(const std::vector<ArtObject*>& objects) {
  const std::unordered_set<const ArtObject*> listed(objects.begin(), objects.end());
  std::unordered_set<const ArtObject*> seenRoots;
  std::vector<ArtObject*> pending;
  // One depth-first walk per tree, trees in the order of their first listed
  // object: the first listed object met is the lowest. Each tree is walked
  // at most once, so the cost is the size of the trees, not the square of
  // the list.
  for (const ArtObject* art : objects) {
    const ArtObject* root = RootOf(art);
    if (!seenRoots.insert(root).second) continue;
    pending.assign(1, const_cast<ArtObject*>(root));
    while (!pending.empty()) {
      ArtObject* at = pending.back();
      pending.pop_back();
      if (listed.count(at) != 0) return at;
      // Topmost child first onto the stack, so the lowest comes off first.
      for (ArtObject* child = at->children.back(); child != nullptr; child = child->siblings.below)
        pending.push_back(child);
    }
  }
  return nullptr;
}

}  // namespace standin
