#include "blend/path_operations.h"

#include "plugin/suite_table.h"

HostError ForceSegmentCount(ArtHandle* path, int16_t n) {
  if (n < 1) return kHostNoError;

  int16_t current = 0;
  if (HostError error = sPath->GetPathSegmentCount(*path, &current)) return error;
  if (current == n) return kHostNoError;

  if (current > n) return sPath->DeletePathSegments(*path, n, static_cast<int16_t>(current - n));

  PathSegment first;
  if (HostError error = sPath->GetPathSegments(*path, 0, 1, &first)) return error;
  for (int16_t k = current; k < n; ++k) {
    const PathSegment copy = first;
    if (HostError error = sPath->InsertPathSegments(*path, static_cast<int16_t>(k - 1), 1, &copy)) return error;
  }
  return kHostNoError;
}

HostError SetRoundJoin(ArtHandle* path) {
  PathStyle style;
  if (HostError error = sPathStyle->GetPathStyle(*path, &style)) return error;
  style.lineJoin = kLineJoinRound;
  return sPathStyle->SetPathStyle(*path, &style);
}
