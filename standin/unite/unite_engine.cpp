#include "standin/unite/unite_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <unordered_set>

#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/unite/curve_outline.h"
#include "standin/unite/lowest_object.h"
#include "standin/unite/outline_art.h"
#include "standin/unite/outline_union.h"
#include "standin/unite/provenance_index.h"
#include "standin/unite/source_contours.h"

namespace standin {

namespace {

// How finely the sources are flattened to find where they cross. The result
// is rebuilt from the sources' own curves, so this tolerance bounds only
// where a crossing is first looked for (it is then refined on the curves)
// and the rare stretch that stays straight.
constexpr double kCurveFlattening = 0.01;

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

// Lists the objects' contours, the contours of object k from
// (*firstContour)[k] on; false when a coordinate is out of range.
bool ListContours(const std::vector<ArtObject*>& objects, SourceTable* sources,
                  std::vector<std::size_t>* firstContour) {
  for (const ArtObject* art : objects) {
    firstContour->push_back(sources->contours.size());
    ContoursOf(*art, &sources->contours);
  }
  firstContour->push_back(sources->contours.size());
  for (const ArtObject* contour : sources->contours) {
    for (const PathSegment& s : contour->segments) {
      if (!IsInRange(s.p) || !IsInRange(s.in) || !IsInRange(s.out)) return false;
    }
  }
  return true;
}

// Spreads the low 16 bits of v to the even bits.
uint64_t SpreadBits(uint32_t v) {
  uint64_t x = v & 0xffffu;
  x = (x | (x << 8)) & 0x00ff00ffu;
  x = (x | (x << 4)) & 0x0f0f0f0fu;
  x = (x | (x << 2)) & 0x33333333u;
  x = (x | (x << 1)) & 0x55555555u;
  return x;
}

// The objects in the order of their anchors' centres along a Z-order curve,
// so that the partial unions cover compact regions and the edges inside
// them drop out early.
std::vector<std::size_t> SpatialOrder(const std::vector<ArtObject*>& objects) {
  std::vector<std::pair<uint64_t, std::size_t>> keyed;
  keyed.reserve(objects.size());
  std::vector<const ArtObject*> contours;
  std::vector<Vec2> centres;
  double lowH = 1e300, lowV = 1e300, highH = -1e300, highV = -1e300;
  for (const ArtObject* art : objects) {
    contours.clear();
    ContoursOf(*art, &contours);
    double h = 0, v = 0, n = 0;
    for (const ArtObject* c : contours) {
      for (const PathSegment& s : c->segments) h += s.p.h, v += s.p.v, n += 1;
    }
    const Vec2 centre = n > 0 ? Vec2{h / n, v / n} : Vec2{0, 0};
    centres.push_back(centre);
    lowH = std::min(lowH, centre.h), highH = std::max(highH, centre.h);
    lowV = std::min(lowV, centre.v), highV = std::max(highV, centre.v);
  }
  const double span = std::max({highH - lowH, highV - lowV, 1e-9});
  for (std::size_t k = 0; k < objects.size(); ++k) {
    const auto x = static_cast<uint32_t>((centres[k].h - lowH) / span * 65535.0);
    const auto y = static_cast<uint32_t>((centres[k].v - lowV) / span * 65535.0);
    keyed.emplace_back(SpreadBits(x) | (SpreadBits(y) << 1), k);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::size_t> order;
  order.reserve(keyed.size());
  for (const auto& k : keyed) order.push_back(k.second);
  return order;
}

// Every object's flattening, united one object at a time; only the partial
// unions are kept, not the flattenings.
void UniteFlattenings(const std::vector<ArtObject*>& objects, const std::vector<std::size_t>& firstContour,
                      SourceTable* sources, ClipperLib::PolyTree* tree) {
  GridUnion grid;
  std::vector<GridVertex> flat;
  ClipperLib::Paths paths;
  sources->flatCounts.assign(sources->contours.size(), 0);
  for (std::size_t k : SpatialOrder(objects)) {
    paths.clear();
    for (std::size_t c = firstContour[k]; c < firstContour[k + 1]; ++c) {
      FlattenRing(*sources->contours[c], kCurveFlattening, kGridStepsPerUnit, &flat);
      sources->flatCounts[c] = static_cast<uint32_t>(flat.size());
      ClipperLib::Path path;
      path.reserve(flat.size());
      for (const GridVertex& g : flat) path.emplace_back(g.x, g.y);
      paths.push_back(std::move(path));
    }
    grid.AddShape(paths, objects[k]->style.evenOddFill != 0);
  }
  grid.Finish(tree);
}

void AddKeys(const ClipperLib::PolyNode& node, ProvenanceIndex* index) {
  for (const ClipperLib::IntPoint& p : node.Contour) index->AddKey(p.X, p.Y);
  for (const ClipperLib::PolyNode* child : node.Childs) AddKeys(*child, index);
}

// Flattens every source again, keeping only the points the result has.
void IndexProvenance(const ClipperLib::PolyTree& tree, const SourceTable& sources, ProvenanceIndex* index) {
  AddKeys(tree, index);
  std::vector<GridVertex> flat;
  for (std::size_t c = 0; c < sources.contours.size(); ++c) {
    FlattenRing(*sources.contours[c], kCurveFlattening, kGridStepsPerUnit, &flat);
    for (std::size_t j = 0; j < flat.size(); ++j) {
      index->Record(flat[j].x, flat[j].y,
                    Provenance{static_cast<uint32_t>(c), static_cast<uint32_t>(j), flat[j].u});
    }
  }
}

// Outer nodes of the tree, at any depth (islands in holes included), each
// with the holes directly inside it, rebuilt as curves. False when a contour
// has more segments than a path holds.
bool CollectOutlines(const ClipperLib::PolyNode& node, const SourceTable& sources,
                     const ProvenanceIndex& index, const RebuildSettings& settings,
                     std::vector<OutlineSegments>* outlines) {
  for (const ClipperLib::PolyNode* child : node.Childs) {
    if (child->IsHole()) {
      if (!CollectOutlines(*child, sources, index, settings, outlines)) return false;
      continue;
    }
    OutlineSegments outline;
    outline.outer = RebuildContour(child->Contour, sources, index, settings);
    if (outline.outer.size() > kMaxPathSegments) return false;
    for (const ClipperLib::PolyNode* hole : child->Childs) {
      std::vector<PathSegment> segments = RebuildContour(hole->Contour, sources, index, settings);
      if (segments.size() > kMaxPathSegments) return false;
      if (!segments.empty()) outline.holes.push_back(std::move(segments));
    }
    if (!outline.outer.empty()) outlines->push_back(std::move(outline));
    for (const ClipperLib::PolyNode* hole : child->Childs) {
      if (!CollectOutlines(*hole, sources, index, settings, outlines)) return false;
    }
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

std::string UniteArgs(const PathfinderData* data) {
  if (data == nullptr) return "null";
  char text[160];
  std::snprintf(text, sizeof text,
                "precision=%g removeRedundantPoints=%d extractUnpaintedArtwork=%d count=%d", data->precision,
                static_cast<int>(data->removeRedundantPoints),
                static_cast<int>(data->extractUnpaintedArtwork), static_cast<int>(data->objectCount));
  return text;
}

HostError HOSTCALL PathfinderDoUniteEffect(PathfinderData* data, PathfinderMessage* message) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathfinderSuite, "DoUniteEffect", UniteArgs(data))) return e;
  try {
    return host->unite().Unite(host->art(), data, message);
  } catch (const std::bad_alloc&) {
    return kHostErrOutOfMemory;
  } catch (...) {
    // Clipper throws only for coordinates outside its range, which the
    // checks before it rule out.
    return kHostErrBadParameter;
  }
}

const PathfinderSuite kPathfinder = {PathfinderDoUniteEffect};

}  // namespace

HostError UniteOutlines(const std::vector<ArtObject*>& objects, bool removeRedundantPoints,
                        std::vector<OutlineSegments>* outlines) {
  outlines->clear();
  SourceTable sources;
  std::vector<std::size_t> firstContour;
  if (!ListContours(objects, &sources, &firstContour)) return kHostErrBadParameter;
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

void RegisterPathfinderSuite(Host& host) {
  host.suites().Add(kPathfinderSuite, kPathfinderSuiteVersion, &kPathfinder);
}

}  // namespace standin
