#include "standin/unite/merge_tree.h"

namespace standin {

namespace {

// Where GridUnion's last merge over `shapes` shapes splits them, or 0 when
// it makes none (one shape, or one pair united in a single pass).
std::size_t LastMergeSplit(std::size_t shapes) {
  const std::size_t pairs = shapes / 2;
  const bool leftOver = shapes % 2 != 0;
  if (pairs == 0 || (pairs == 1 && !leftOver)) return 0;
  std::size_t highest = 1;
  while (highest * 2 <= pairs) highest *= 2;
  // Pairs a power of two, none left over: the counter's last carry joins
  // the two halves. Otherwise its bottom entry (the first 2 * highest
  // shapes) is merged last with the union of those above it.
  if (highest == pairs && !leftOver) return shapes / 2;
  return 2 * highest;
}

int Cut(std::size_t begin, std::size_t end, std::size_t leafShapes, std::vector<MergeNode>* nodes) {
  const std::size_t split = end - begin > leafShapes ? LastMergeSplit(end - begin) : 0;
  MergeNode node{begin, end};
  if (split != 0) {
    node.earlier = Cut(begin, begin + split, leafShapes, nodes);
    node.later = Cut(begin + split, end, leafShapes, nodes);
  }
  nodes->push_back(node);
  return static_cast<int>(nodes->size() - 1);
}

}  // namespace

std::vector<MergeNode> CutMergeTree(std::size_t shapes, std::size_t leafShapes) {
  std::vector<MergeNode> nodes;
  Cut(0, shapes, leafShapes, &nodes);
  return nodes;
}

}  // namespace standin
