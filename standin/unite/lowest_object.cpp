#include "standin/unite/lowest_object.h"

#include <algorithm>
#include <cstddef>

#include "standin/art/art_object.h"

namespace standin {

namespace {

struct TreePosition {
  std::size_t tree;                // rank of the object's root among the roots met so far
  std::vector<std::size_t> steps;  // child indices from the root down to the object
};

std::vector<std::size_t> StepsFromRoot(const ArtObject* art) {
  std::vector<std::size_t> steps;
  for (; art->parent != nullptr; art = art->parent) {
    const auto& siblings = art->parent->children;
    steps.push_back(
        static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), art) - siblings.begin()));
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

const ArtObject* RootOf(const ArtObject* art) {
  while (art->parent != nullptr) art = art->parent;
  return art;
}

}  // namespace

ArtObject* LowestInPaintOrder(const std::vector<ArtObject*>& objects) {
  std::vector<const ArtObject*> roots;
  ArtObject* lowest = nullptr;
  TreePosition lowestAt{};
  for (ArtObject* art : objects) {
    const ArtObject* root = RootOf(art);
    auto rank = std::find(roots.begin(), roots.end(), root);
    if (rank == roots.end()) rank = roots.insert(roots.end(), root);
    TreePosition at{static_cast<std::size_t>(rank - roots.begin()), StepsFromRoot(art)};
    // A prefix sorts first: an ancestor comes before its descendants.
    if (lowest == nullptr || at.tree < lowestAt.tree ||
        (at.tree == lowestAt.tree && at.steps < lowestAt.steps)) {
      lowest = art;
      lowestAt = std::move(at);
    }
  }
  return lowest;
}

}  // namespace standin
