// The merges GridUnion makes over a run of shapes, cut into ranges that can
// be united apart and then merged as GridUnion would have merged them.
//
// GridUnion unites shapes in pairs and merges the partial unions like a
// binary counter carries; over n shapes the last merge joins the union of
// the first 2^(k+1) shapes, 2^k the largest power of two not above the
// number of pairs, with the union of the rest (when the pairs are exactly
// 2^k and no shape is left over, the two halves). Each side is again what a
// GridUnion of its own shapes builds, so the ranges below, each united by a
// GridUnion of its own and merged earlier with later, give the same
// polygons as one GridUnion of all the shapes. (Not quite when a pair of
// shapes paints nothing: GridUnion drops empty unions, which shifts its
// counter; the result is the same area, merged in another order.)
#pragma once

#include <cstddef>
#include <vector>

namespace standin {

struct MergeNode {
  std::size_t begin, end;  // the shapes [begin, end), in the order they are added
  // The nodes whose unions this one merges, the earlier shapes first; -1 for
  // a range one GridUnion unites.
  int earlier = -1, later = -1;
};

// The ranges of `shapes` shapes and their merges: every node comes after the
// two it merges, and the last one covers all the shapes. A range is cut
// while it holds more than `leafShapes` shapes and more than one pair.
std::vector<MergeNode> CutMergeTree(std::size_t shapes, std::size_t leafShapes);

}  // namespace standin
