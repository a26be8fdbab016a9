// "AI Path Suite": a path's segments and flags. Segment indices are signed
// 16-bit; a path holds at most 32767 segments.
#pragma once

#include <stddef.h>

#include "host_types.h"

#define kPathSuite "AI Path Suite"
enum { kPathSuiteVersion = 8 };

// One anchor of a path. A handle equal to its anchor is retracted.
typedef struct PathSegment {
  HostPoint p;         // the anchor
  HostPoint in;        // control point of the curve arriving at p
  HostPoint out;       // control point of the curve leaving p
  HostBoolean corner;  // the handles need not be collinear
} PathSegment;

static_assert(sizeof(PathSegment) == 28, "path segment record is 28 bytes");

typedef struct PathSuite {
  // Stores the number of segments in *count.
  HostError(HOSTCALL* GetPathSegmentCount)(ArtHandle path, int16_t* count);
  // Copies segments first..first+count-1 into segments[]. kHostErrRange when
  // they are not all in the path.
  HostError(HOSTCALL* GetPathSegments)(ArtHandle path, int16_t first, int16_t count, PathSegment* segments);
  // Replaces segments first..first+count-1 with segments[].
  HostError(HOSTCALL* SetPathSegments)(ArtHandle path, int16_t first, int16_t count,
                                      const PathSegment* segments);
  // Inserts `count` segments after index `after` (-1 inserts at the front).
  HostError(HOSTCALL* InsertPathSegments)(ArtHandle path, int16_t after, int16_t count,
                                         const PathSegment* segments);
  // Removes segments first..first+count-1.
  HostError(HOSTCALL* DeletePathSegments)(ArtHandle path, int16_t first, int16_t count);
  // Stores whether the path is closed in *closed.
  HostError(HOSTCALL* GetPathClosed)(ArtHandle path, HostBoolean* closed);
  // Stores whether the path is a guide in *guide.
  HostError(HOSTCALL* GetPathGuide)(ArtHandle path, HostBoolean* guide);
  // Stores whether the path is a clipping path in *isClip.
  HostError(HOSTCALL* GetPathIsClip)(ArtHandle path, HostBoolean* isClip);
} PathSuite;
