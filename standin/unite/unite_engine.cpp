#include "standin/unite/unite_engine.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/unite/flatten.h"
#include "standin/unite/lowest_object.h"
#include "standin/unite/outline_art.h"
#include "standin/unite/outline_union.h"

namespace standin {

namespace {

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
  for (int32_t i = 0; i < data.objectCount; ++i) {
    if (std::find(unique.begin(), unique.end(), data.objects[i]) == unique.end())
      unique.push_back(data.objects[i]);
  }
  return unique;
}

HostError FlattenObjects(const std::vector<ArtObject*>& objects, std::vector<FilledShape>* shapes) {
  std::size_t points = 0;
  for (const ArtObject* art : objects) {
    FilledShape shape;
    shape.evenOdd = art->style.evenOddFill != 0;
    // The point limit holds for all objects together.
    FlattenLimits limits = kUniteFlattening;
    limits.maxPoints -= points;
    switch (FlattenArt(*art, limits, &shape.contours)) {
      case FlattenResult::kOk: break;
      case FlattenResult::kOutOfRange: return kHostErrBadParameter;
      case FlattenResult::kTooManyPoints: return kHostErrRange;
    }
    for (const Contour& contour : shape.contours) points += contour.size();
    shapes->push_back(std::move(shape));
  }
  return kHostNoError;
}

// Computes the whole result before touching the tree, so that a failure
// leaves the art as it was.
HostError ReplaceWithUnion(ArtStore& store, const std::vector<ArtObject*>& objects,
                           bool removeRedundantPoints) {
  std::vector<FilledShape> shapes;
  if (HostError e = FlattenObjects(objects, &shapes)) return e;
  std::vector<OutlineSegments> outlines;
  if (!MakeOutlineSegments(UniteShapes(shapes, removeRedundantPoints), &outlines)) return kHostErrRange;

  ArtObject* lowest = LowestInPaintOrder(objects);
  const PathStyle style = lowest->style;
  store.CountAsMadeByHost(PlaceOutlines(store, outlines, style, lowest));
  for (ArtObject* art : objects) store.Dispose(art);
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
