// "AI Path Suite" of the stand-in: a path's segments and flags.
//
// Besides the checks every art suite makes, path operations on an object that
// is not a path give kHostErrUnsupported, and segment indices or counts that
// leave the path (or would grow it past 32767 segments) give kHostErrRange.
// An insert without memory for the longer path gives kHostErrOutOfMemory
// and leaves the path as it was.
#include <cstdint>
#include <string>

#include "standin/art/art_store.h"
#include "standin/art/art_suites.h"
#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"

namespace standin {

namespace {

constexpr int kMaxSegments = INT16_MAX;

// 0 when `path` is a live path object.
HostError CheckPath(Host& host, ArtHandle path) {
  if (!host.art().IsLive(path)) return kHostErrBadParameter;
  return path->type == kArtTypePath ? kHostNoError : kHostErrUnsupported;
}

// 0 when segments first..first+count-1 all lie in `path`.
HostError CheckRange(const ArtObject* path, int first, int count) {
  const int size = static_cast<int>(path->segments.size());
  return first >= 0 && count >= 0 && first + count <= size ? kHostNoError : kHostErrRange;
}

std::string RangeArgs(Host& host, ArtHandle path, int first, int count) {
  return ArtText(host, path) + ", " + std::to_string(first) + ", " + std::to_string(count);
}

HostError HOSTCALL GetPathSegmentCount(ArtHandle path, int16_t* count) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e =
          host->journal().Enter(kPathSuite, "GetPathSegmentCount", [&] { return ArtText(*host, path); }))
    return e;
  if (HostError e = CheckPath(*host, path)) return e;
  if (count == nullptr) return kHostErrBadParameter;
  *count = static_cast<int16_t>(path->segments.size());
  return kHostNoError;
}

HostError HOSTCALL GetPathSegments(ArtHandle path, int16_t first, int16_t count, PathSegment* segments) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathSuite, "GetPathSegments",
                                          [&] { return RangeArgs(*host, path, first, count); }))
    return e;
  if (HostError e = CheckPath(*host, path)) return e;
  if (HostError e = CheckRange(path, first, count)) return e;
  if (segments == nullptr && count > 0) return kHostErrBadParameter;
  for (int i = 0; i < count; ++i) segments[i] = path->segments[first + i];
  return kHostNoError;
}

HostError HOSTCALL SetPathSegments(ArtHandle path, int16_t first, int16_t count,
                                   const PathSegment* segments) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathSuite, "SetPathSegments",
                                          [&] { return RangeArgs(*host, path, first, count); }))
    return e;
  if (HostError e = CheckPath(*host, path)) return e;
  if (HostError e = CheckRange(path, first, count)) return e;
  if (segments == nullptr && count > 0) return kHostErrBadParameter;
  for (int i = 0; i < count; ++i) path->segments[first + i] = segments[i];
  return kHostNoError;
}

HostError HOSTCALL InsertPathSegments(ArtHandle path, int16_t after, int16_t count,
                                      const PathSegment* segments) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathSuite, "InsertPathSegments",
                                          [&] { return RangeArgs(*host, path, after, count); }))
    return e;
  if (HostError e = CheckPath(*host, path)) return e;
  const int size = static_cast<int>(path->segments.size());
  if (after < -1 || after >= size || count < 0 || size + count > kMaxSegments) return kHostErrRange;
  if (segments == nullptr && count > 0) return kHostErrBadParameter;
  // Without memory for the longer list the path keeps its segments.
  return CodeOnOutOfMemory([&] {
    path->segments.insert(path->segments.begin() + (after + 1), segments, segments + count);
    return HostError{kHostNoError};
  });
}

HostError HOSTCALL DeletePathSegments(ArtHandle path, int16_t first, int16_t count) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathSuite, "DeletePathSegments",
                                          [&] { return RangeArgs(*host, path, first, count); }))
    return e;
  if (HostError e = CheckPath(*host, path)) return e;
  if (HostError e = CheckRange(path, first, count)) return e;
  auto begin = path->segments.begin() + first;
  path->segments.erase(begin, begin + count);
  return kHostNoError;
}

// The three flag queries differ only in the flag they read.
template <bool ArtObject::*flag>
HostError GetPathFlag(const char* op, ArtHandle path, HostBoolean* value) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kPathSuite, op, [&] { return ArtText(*host, path); })) return e;
  if (HostError e = CheckPath(*host, path)) return e;
  if (value == nullptr) return kHostErrBadParameter;
  *value = path->*flag ? 1 : 0;
  return kHostNoError;
}

HostError HOSTCALL GetPathClosed(ArtHandle path, HostBoolean* closed) {
  return GetPathFlag<&ArtObject::closed>("GetPathClosed", path, closed);
}

HostError HOSTCALL GetPathGuide(ArtHandle path, HostBoolean* guide) {
  return GetPathFlag<&ArtObject::guide>("GetPathGuide", path, guide);
}

HostError HOSTCALL GetPathIsClip(ArtHandle path, HostBoolean* isClip) {
  return GetPathFlag<&ArtObject::clip>("GetPathIsClip", path, isClip);
}

const PathSuite kPathSuiteTable = {GetPathSegmentCount, GetPathSegments, SetPathSegments, InsertPathSegments,
                                   DeletePathSegments,  GetPathClosed,   GetPathGuide,    GetPathIsClip};

}  // namespace

const PathSuite& StandinPathSuite() { return kPathSuiteTable; }

}  // namespace standin
