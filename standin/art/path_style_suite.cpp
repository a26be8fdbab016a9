// "AI Path Style Suite" of the stand-in: a path's paint as one record. Paths
// and compound paths have a style; other objects give kHostErrUnsupported.
#include <new>

#include "standin/art/art_store.h"
#include "standin/art/art_suites.h"
#include "standin/core/host.h"

namespace standin {

namespace {

// 0 when `art` is a live object that carries a path style.
HostError CheckStyled(Host& host, ArtHandle art) {
  if (!host.art().IsLive(art)) return kHostErrBadParameter;
  const bool styled = art->type == kArtTypePath || art->type == kArtTypeCompoundPath;
  return styled ? kHostNoError : kHostErrUnsupported;
}

HostError HOSTCALL GetPathStyle(ArtHandle path, PathStyle* style) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kPathStyleSuite, "GetPathStyle", [&] { return ArtText(*host, path); }))
    return e;
  if (HostError e = CheckStyled(*host, path)) return e;
  if (style == nullptr) return kHostErrBadParameter;
  *style = path->style;
  return kHostNoError;
}

HostError HOSTCALL SetPathStyle(ArtHandle path, const PathStyle* style) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kPathStyleSuite, "SetPathStyle", [&] { return ArtText(*host, path); }))
    return e;
  if (HostError e = CheckStyled(*host, path)) return e;
  if (style == nullptr) return kHostErrBadParameter;
  // A path whose style is shared gets a record of its own here; when there is
  // no memory for it, the path keeps its style and the call says so.
  try {
    path->style = *style;
  } catch (const std::bad_alloc&) {
    return kHostErrOutOfMemory;
  }
  return kHostNoError;
}

const PathStyleSuite kPathStyleSuiteTable = {GetPathStyle, SetPathStyle};

}  // namespace

const PathStyleSuite& StandinPathStyleSuite() { return kPathStyleSuiteTable; }

}  // namespace standin
