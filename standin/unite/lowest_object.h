// Which of several art objects lies lowest in paint order.
#pragma once

#include <vector>

struct ArtObject;

namespace standin {

// The object met first in a depth-first walk of the art tree in child order
// (children[0] first, a group before its children). Objects in different
// trees are ordered by their trees, the tree of the earliest listed object
// first, as roots have no paint order among themselves. Null for an empty
// list.
ArtObject* LowestInPaintOrder(const std::vector<ArtObject*>& objects);

}  // namespace standin
