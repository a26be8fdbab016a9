// "AI Art Suite" of the stand-in: the art tree.
#include <new>
#include <string>

#include "standin/art/art_store.h"
#include "standin/art/art_suites.h"
#include "standin/core/host.h"

namespace standin {

namespace {

bool HasChildren(const ArtObject* art) {
  return art->type == kArtTypeGroup || art->type == kArtTypeCompoundPath;
}

// The object right above `art` in its group, or null for the top one or a root.
ArtObject* NextSibling(const ArtObject* art) {
  return art->parent == nullptr ? nullptr : art->siblings.above;
}

// A copy is a new object: it does not take over the names of what it copies,
// so that a name (an SVG id) stays unique in the document.
int ForgetNames(ArtObject* art) {
  art->SetName({});
  int objects = 1;
  for (ArtObject* child : art->children) objects += ForgetNames(child);
  return objects;
}

HostError HOSTCALL GetArtType(ArtHandle art, int16_t* type) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kArtSuite, "GetArtType", [&] { return ArtText(*host, art); }))
    return e;
  if (!host->art().IsLive(art) || type == nullptr) return kHostErrBadParameter;
  *type = art->type;
  return kHostNoError;
}

HostError HOSTCALL GetArtFirstChild(ArtHandle art, ArtHandle* child) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kArtSuite, "GetArtFirstChild", [&] { return ArtText(*host, art); }))
    return e;
  if (!host->art().IsLive(art) || child == nullptr) return kHostErrBadParameter;
  *child = HasChildren(art) && !art->children.empty() ? art->children.front() : nullptr;
  return kHostNoError;
}

HostError HOSTCALL GetArtSibling(ArtHandle art, ArtHandle* sibling) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kArtSuite, "GetArtSibling", [&] { return ArtText(*host, art); }))
    return e;
  if (!host->art().IsLive(art) || sibling == nullptr) return kHostErrBadParameter;
  *sibling = NextSibling(art);
  return kHostNoError;
}

HostError HOSTCALL GetArtParent(ArtHandle art, ArtHandle* parent) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kArtSuite, "GetArtParent", [&] { return ArtText(*host, art); }))
    return e;
  if (!host->art().IsLive(art) || parent == nullptr) return kHostErrBadParameter;
  *parent = art->parent;
  return kHostNoError;
}

// The copy is placed as `paintOrder` says relative to `prep`; a paint order
// that does not fit `prep` (beside a root, inside a path) gives
// kHostErrBadParameter and leaves no copy behind.
HostError HOSTCALL DuplicateArt(ArtHandle art, int16_t paintOrder, ArtHandle prep, ArtHandle* newArt) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return ArtText(*host, art) + ", " + std::to_string(paintOrder) + ", " + ArtText(*host, prep);
  };
  if (HostError e = host->journal().Enter(kArtSuite, "DuplicateArt", args)) return e;
  ArtStore& store = host->art();
  if (!store.IsLive(art) || !store.IsLive(prep) || newArt == nullptr) return kHostErrBadParameter;
  // When memory runs out for the copy (or for a named copy's own record),
  // no part of it stays and the call says so.
  ArtObject* copy = nullptr;
  int objects = 0;
  try {
    copy = store.Copy(art);
    objects = ForgetNames(copy);
  } catch (const std::bad_alloc&) {
    if (copy != nullptr) store.Dispose(copy);
    return kHostErrOutOfMemory;
  }
  if (!store.Place(copy, paintOrder, prep)) {
    store.Dispose(copy);
    return kHostErrBadParameter;
  }
  store.CountAsMadeByHost(objects);
  *newArt = copy;
  return kHostNoError;
}

HostError HOSTCALL DisposeArt(ArtHandle art) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kArtSuite, "DisposeArt", [&] { return ArtText(*host, art); }))
    return e;
  if (!host->art().IsLive(art)) return kHostErrBadParameter;
  host->art().Dispose(art);
  return kHostNoError;
}

// Paths, compound paths and groups have bounds; the kinds the stand-in keeps
// without modelling them (text, placed art...) give kHostErrUnsupported.
HostError HOSTCALL GetArtTransformBounds(ArtHandle art, const HostMatrix* matrix, int32_t options,
                                         HostRect* bounds) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return ArtText(*host, art) + ", " + (matrix == nullptr ? "null" : "matrix") + ", " +
           std::to_string(options);
  };
  if (HostError e = host->journal().Enter(kArtSuite, "GetArtTransformBounds", args)) return e;
  if (!host->art().IsLive(art) || bounds == nullptr) return kHostErrBadParameter;
  if (options != kBoundsWithStroke && options != kBoundsGeometric) return kHostErrBadParameter;
  if (art->type != kArtTypePath && !HasChildren(art)) return kHostErrUnsupported;
  *bounds = ArtStore::Bounds(art, matrix, options == kBoundsWithStroke);
  return kHostNoError;
}

const ArtSuite kArtSuiteTable = {GetArtType,   GetArtFirstChild, GetArtSibling,        GetArtParent,
                                 DuplicateArt, DisposeArt,       GetArtTransformBounds};

}  // namespace

const ArtSuite& StandinArtSuite() { return kArtSuiteTable; }

}  // namespace standin
