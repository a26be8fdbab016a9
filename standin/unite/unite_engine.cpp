#include "standin/unite/unite_engine.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "standin/art/art_store.h"
#include "standin/unite/curve_outline.h"
#include "standin/unite/lowest_object.h"
#include "standin/unite/merge_tree.h"
#include "standin/unite/outline_art.h"
#include "standin/unite/outline_union.h"
#include "standin/unite/provenance_index.h"
#include "standin/unite/shape_cull.h"
#include "standin/unite/source_contours.h"
#include "standin/unite/work_split.h"

namespace standin {

namespace {

// How finely the sources are flattened to find where they cross. The result
// is rebuilt from the sources' own curves, so this tolerance bounds only
// where a crossing is first looked for (it is then refined on the curves)
// and the rare stretch that stays straight.
constexpr double kCurveFlattening = 0.01;

// How far inside the kept objects a left-out object must lie: beyond the
// flattening's worst departure from the curves (twice the tolerance, where
// a part's end tangents stand in for its chord) and a few grid steps, so
// that the flattened union and the tracing back of its vertices are the
// same without it.
constexpr double kCullMargin = 2 * kCurveFlattening + 4 / kGridStepsPerUnit;

// The most segments one path holds.
constexpr std::size_t kMaxPathSegments = 32767;

bool IsUnitable(const ArtStore& store, const ArtObject* art) {
  if (art == nullptr || !store.IsLive(art)) return false;
  if (art->type != kArtTypePath && art->type != kArtTypeCompoundPath) return false;
  // A contour of a compound path is not an object of its own.
  return art->parent == nullptr || art->parent->type != kArtTypeCompoundPath;
}

HostError CheckRecords(const ArtStore& store, const PathfinderData* data, const PathfinderMessage* message) {
  if (data == nullptr || message == nullptr) return kHostErrBadParameter;
  if (message->d.SPCheck != kSPValidMessageData) return kHostErrBadParameter;
  if (data->objectCount < 0) return kHostErrBadParameter;
  if (data->objectCount > 0 && data->objects == nullptr) return kHostErrBadParameter;
  for (int32_t i = 0; i < data->objectCount; ++i) {
    if (!IsUnitable(store, data->objects[i])) return kHostErrBadParameter;
  }
  return kHostNoError;
}

std::vector<ArtObject*> UniqueObjects(const PathfinderData& data) {
  std::vector<ArtObject*> unique;
  std::unordered_set<const ArtObject*> seen;
  for (int32_t i = 0; i < data.objectCount; ++i) {
    if (seen.insert(data.objects[i]).second) unique.push_back(data.objects[i]);
  }
  return unique;
}

bool IsInRange(const HostPoint& p) {
  return std::isfinite(p.h) && std::isfinite(p.v) && std::fabs(p.h) <= kMaxUniteCoordinate &&
         std::fabs(p.v) <= kMaxUniteCoordinate;
}

bool AllInRange(const std::vector<ArtObject*>& objects) {
  std::vector<const ArtObject*> contours;
  for (const ArtObject* art : objects) {
    contours.clear();
    ContoursOf(*art, &contours);
    for (const ArtObject* contour : contours) {
      for (const PathSegment& s : contour->segments) {
        if (!IsInRange(s.p) || !IsInRange(s.in) || !IsInRange(s.out)) return false;
      }
    }
  }
  return true;
}

// Lists the objects' contours, the contours of object k from
// (*firstContour)[k] on.
void ListContours(const std::vector<ArtObject*>& objects, SourceTable* sources,
                  std::vector<std::size_t>* firstContour) {
  for (const ArtObject* art : objects) {
    firstContour->push_back(sources->contours.size());
    ContoursOf(*art, &sources->contours);
  }
  firstContour->push_back(sources->contours.size());
}

// Spreads the low 16 bits of v to every fourth bit.
uint64_t SpreadBits4(uint32_t v) {
  uint64_t x = v & 0xffffu;
  x = (x | (x << 24)) & 0x000000ff000000ffull;
  x = (x | (x << 12)) & 0x000f000f000f000full;
  x = (x | (x << 6)) & 0x0303030303030303ull;
  x = (x | (x << 3)) & 0x1111111111111111ull;
  return x;
}

struct Box {
  double lowH = 1e300, lowV = 1e300, highH = -1e300, highV = -1e300;
  void Add(double h, double v) {
    lowH = std::min(lowH, h), highH = std::max(highH, h);
    lowV = std::min(lowV, v), highV = std::max(highV, v);
  }
};

// The objects in the order of their anchors' bounding boxes (both corners)
// along a Z-order curve. Objects next to each other in that order have both
// ends close, so they overlap much (the long thin shapes between two far
// circles as well as the small ones), and the edges inside each partial
// union drop out early.
std::vector<std::size_t> SpatialOrder(const std::vector<ArtObject*>& objects) {
  std::vector<Box> boxes;
  boxes.reserve(objects.size());
  std::vector<const ArtObject*> contours;
  Box all;
  for (const ArtObject* art : objects) {
    contours.clear();
    ContoursOf(*art, &contours);
    Box box;
    for (const ArtObject* c : contours) {
      for (const PathSegment& s : c->segments) box.Add(s.p.h, s.p.v);
    }
    if (box.lowH > box.highH) box = Box{0, 0, 0, 0};
    all.Add(box.lowH, box.lowV);
    all.Add(box.highH, box.highV);
    boxes.push_back(box);
  }
  const double span = std::max({all.highH - all.lowH, all.highV - all.lowV, 1e-9});
  auto scaled = [&](double x, double low) { return static_cast<uint32_t>((x - low) / span * 65535.0); };
  std::vector<std::pair<uint64_t, std::size_t>> keyed;
  keyed.reserve(objects.size());
  for (std::size_t k = 0; k < objects.size(); ++k) {
    const Box& b = boxes[k];
    keyed.emplace_back(SpreadBits4(scaled(b.lowH, all.lowH)) | (SpreadBits4(scaled(b.lowV, all.lowV)) << 1) |
                           (SpreadBits4(scaled(b.highH, all.lowH)) << 2) |
                           (SpreadBits4(scaled(b.highV, all.lowV)) << 3),
                       k);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::size_t> order;
  order.reserve(keyed.size());
  for (const auto& k : keyed) order.push_back(k.second);
  return order;
}

// The most shapes one GridUnion of the unite takes: the merges are cut into
// about sixteen ranges, so that two threads (or more) share them evenly,
// with the cut depending on the number of shapes only.
std::size_t LeafShapes(std::size_t shapes) { return std::max<std::size_t>(16, (shapes + 15) / 16); }

// Every object's flattening, united one object at a time; only the partial
// unions are kept, not the flattenings. The objects, in their spatial order,
// are cut into ranges (CutMergeTree) that are flattened and united apart,
// on as many threads as there are, and the ranges' unions are then merged
// in a fixed order on this thread: the same polygons as one GridUnion of all
// the objects gives.
void UniteFlattenings(const std::vector<ArtObject*>& objects, const std::vector<std::size_t>& firstContour,
                      SourceTable* sources, ClipperLib::PolyTree* tree) {
  const std::vector<std::size_t> order = SpatialOrder(objects);
  const std::vector<MergeNode> nodes = CutMergeTree(order.size(), LeafShapes(order.size()));
  std::vector<std::size_t> leaves;
  for (std::size_t n = 0; n < nodes.size(); ++n) {
    if (nodes[n].earlier < 0) leaves.push_back(n);
  }
  std::vector<ClipperLib::Paths> unions(nodes.size());
  // Each range writes its own objects' flattening sizes and its own union.
  sources->flatCounts.assign(sources->contours.size(), 0);
  SplitWork(leaves.size(), [&](std::size_t leaf) {
    const MergeNode& node = nodes[leaves[leaf]];
    GridUnion grid;
    std::vector<GridVertex> flat;
    ClipperLib::Paths paths;
    for (std::size_t at = node.begin; at < node.end; ++at) {
      const std::size_t k = order[at];
      paths.clear();
      for (std::size_t c = firstContour[k]; c < firstContour[k + 1]; ++c) {
        FlattenRing(*sources->contours[c], kCurveFlattening, kGridStepsPerUnit, &flat);
        sources->flatCounts[c] = static_cast<uint32_t>(flat.size());
        ClipperLib::Path path;
        path.reserve(flat.size());
        for (const GridVertex& g : flat) path.emplace_back(g.x, g.y);
        paths.push_back(std::move(path));
      }
      grid.AddShape(paths, objects[k]->style->evenOddFill != 0);
    }
    unions[leaves[leaf]] = grid.FinishPaths();
  });
  for (std::size_t n = 0; n < nodes.size(); ++n) {
    if (nodes[n].earlier < 0) continue;
    unions[n] = MergeUnions(std::move(unions[nodes[n].earlier]), std::move(unions[nodes[n].later]));
  }
  UnionTree(unions.back(), tree);
}

void AddKeys(const ClipperLib::PolyNode& node, ProvenanceIndex* index) {
  for (const ClipperLib::IntPoint& p : node.Contour) index->AddKey(p.X, p.Y);
  for (const ClipperLib::PolyNode* child : node.Childs) AddKeys(*child, index);
}

// How many pieces the sources are matched in; any number gives the same
// index, as the pieces' hits are kept in the sources' order.
constexpr std::size_t kProvenancePieces = 16;

// Flattens every source again, keeping only the points the result has: its
// own vertices, and the points on its edges where it crosses another. The
// sources are matched against the result's points in pieces, on as many
// threads as there are; each piece's hits are then kept in the sources'
// order.
void IndexProvenance(const ClipperLib::PolyTree& tree, const SourceTable& sources, ProvenanceIndex* index) {
  AddKeys(tree, index);
  index->Seal();
  const std::size_t count = sources.contours.size();
  const std::size_t pieces = std::min(count, kProvenancePieces);
  std::vector<std::vector<ProvenanceIndex::Hit>> hits(pieces);
  SplitWork(pieces, [&](std::size_t piece) {
    std::vector<GridVertex> flat;
    const ProvenanceIndex& matched = *index;
    for (std::size_t c = count * piece / pieces; c < count * (piece + 1) / pieces; ++c) {
      FlattenRing(*sources.contours[c], kCurveFlattening, kGridStepsPerUnit, &flat);
      const double ring = PieceCount(*sources.contours[c]);
      for (std::size_t j = 0; j < flat.size(); ++j) {
        const uint32_t contour = static_cast<uint32_t>(c), at = static_cast<uint32_t>(j);
        matched.MatchPoint(flat[j].x, flat[j].y, Provenance{contour, at, flat[j].u}, &hits[piece]);
        const GridVertex& next = flat[(j + 1) % flat.size()];
        matched.MatchEdge(flat[j].x, flat[j].y, next.x, next.y, contour, at, flat[j].u,
                          j + 1 < flat.size() ? next.u : ring, &hits[piece]);
      }
    }
  });
  for (const auto& piece : hits) index->Keep(piece);
}

// The contours of the outer nodes of the tree, at any depth (islands in
// holes included), each followed by the holes directly inside it, in the
// order the outlines are returned.
void ListOutlineContours(const ClipperLib::PolyNode& node, std::vector<const ClipperLib::PolyNode*>* outers,
                         std::vector<const ClipperLib::Path*>* contours) {
  for (const ClipperLib::PolyNode* child : node.Childs) {
    if (child->IsHole()) {
      ListOutlineContours(*child, outers, contours);
      continue;
    }
    outers->push_back(child);
    contours->push_back(&child->Contour);
    for (const ClipperLib::PolyNode* hole : child->Childs) contours->push_back(&hole->Contour);
    for (const ClipperLib::PolyNode* hole : child->Childs) ListOutlineContours(*hole, outers, contours);
  }
}

// Below this many vertices of the union the rebuild (about a third of a
// microsecond a vertex) takes less time than starting a thread costs.
constexpr std::size_t kSplitRebuildVertices = 1024;

// Outer nodes of the tree, at any depth (islands in holes included), each
// with the holes directly inside it, rebuilt as curves, the contours on as
// many threads as there are when they have enough vertices. False when a contour has more segments than a
// path holds.
bool CollectOutlines(const ClipperLib::PolyNode& node, const SourceTable& sources,
                     const ProvenanceIndex& index, const RebuildSettings& settings,
                     std::vector<OutlineSegments>* outlines) {
  std::vector<const ClipperLib::PolyNode*> outers;
  std::vector<const ClipperLib::Path*> contours;
  ListOutlineContours(node, &outers, &contours);
  std::vector<std::vector<PathSegment>> rebuilt(contours.size());
  auto rebuild = [&](std::size_t c) { rebuilt[c] = RebuildContour(*contours[c], sources, index, settings); };
  std::size_t vertices = 0;
  for (const ClipperLib::Path* contour : contours) vertices += contour->size();
  if (vertices >= kSplitRebuildVertices) {
    SplitWork(contours.size(), rebuild);
  } else {
    for (std::size_t c = 0; c < contours.size(); ++c) rebuild(c);
  }
  for (const std::vector<PathSegment>& segments : rebuilt) {
    if (segments.size() > kMaxPathSegments) return false;
  }
  std::size_t at = 0;
  for (const ClipperLib::PolyNode* outer : outers) {
    OutlineSegments outline;
    outline.outer = std::move(rebuilt[at++]);
    for (std::size_t h = 0; h < outer->Childs.size(); ++h) {
      if (!rebuilt[at].empty()) outline.holes.push_back(std::move(rebuilt[at]));
      ++at;
    }
    if (!outline.outer.empty()) outlines->push_back(std::move(outline));
  }
  return true;
}

// Computes the whole result before touching the tree, so that a failure
// leaves the art as it was.
HostError ReplaceWithUnion(ArtStore& store, const std::vector<ArtObject*>& objects,
                           bool removeRedundantPoints) {
  std::vector<OutlineSegments> outlines;
  if (HostError e = UniteOutlines(objects, removeRedundantPoints, &outlines)) return e;
  ArtObject* lowest = LowestInPaintOrder(objects);
  const PathStyle style = lowest->style;
  store.CountAsMadeByHost(PlaceOutlines(store, outlines, style, lowest));
  store.DisposeAll(objects);
  return kHostNoError;
}

}  // namespace

HostError UniteOutlines(const std::vector<ArtObject*>& listed, bool removeRedundantPoints,
                        std::vector<OutlineSegments>* outlines) {
  outlines->clear();
  if (!AllInRange(listed)) return kHostErrBadParameter;
  // Only the objects that may reach the outline are flattened, united and
  // traced back; the rest lie inside them.
  const std::vector<ArtObject*> objects = ShapesNotCovered(listed, kCullMargin);
  SourceTable sources;
  std::vector<std::size_t> firstContour;
  ListContours(objects, &sources, &firstContour);
  ClipperLib::PolyTree tree;
  UniteFlattenings(objects, firstContour, &sources, &tree);
  ProvenanceIndex index;
  IndexProvenance(tree, sources, &index);
  const RebuildSettings settings{kCurveFlattening, kGridStepsPerUnit, removeRedundantPoints};
  if (!CollectOutlines(tree, sources, index, settings, outlines)) {
    outlines->clear();
    return kHostErrRange;
  }
  return kHostNoError;
}

void UniteEngine::Record(const PathfinderData* data) {
  if (data == nullptr) return;
  ++calls_;
  last_ = UniteCall{};
  last_.precision = data->precision;
  last_.removeRedundantPoints = data->removeRedundantPoints;
  last_.extractUnpaintedArtwork = data->extractUnpaintedArtwork;
  last_.count = data->objectCount;
  if (data->objects != nullptr && data->objectCount > 0) {
    last_.objects.assign(data->objects, data->objects + data->objectCount);
  }
}

HostError UniteEngine::Unite(ArtStore& store, const PathfinderData* data, const PathfinderMessage* message) {
  Record(data);
  HostError result = CheckRecords(store, data, message);
  if (result == kHostNoError && merging_ && data->objectCount > 0) {
    result = ReplaceWithUnion(store, UniqueObjects(*data), data->removeRedundantPoints != 0);
  }
  if (data != nullptr) last_.result = result;
  return result;
}

}  // namespace standin
