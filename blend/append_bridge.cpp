#include "blend/append_bridge.h"

#include "blend/bridge_geometry.h"
#include "plugin/suite_table.h"

namespace {

// The geometry's point operations, answered by the host's Real Math suite.
HostReal HostPointDistance(const HostPoint* a, const HostPoint* b) { return sRealMath->PointDistance(a, b); }
HostReal HostPointAngle(const HostPoint* a, const HostPoint* b) { return sRealMath->PointAngle(a, b); }

const PointMath kHostPointMath = {HostPointDistance, HostPointAngle};

// The circle standing for a source path: from its bounds without stroke.
HostError ReadCircle(ArtHandle art, BlendCircle* circle) {
  HostRect bounds;
  if (HostError error = sArt->GetArtTransformBounds(art, nullptr, kBoundsGeometric, &bounds)) return error;
  *circle = CircleFromBounds(bounds);
  return kHostNoError;
}

// Segment i is read, overwritten whole with the outline's segment i and
// written back, for i = 0..3 one at a time; the first code ends the writing.
HostError WriteOutline(ArtHandle target, const BridgeOutline& outline) {
  for (int16_t i = 0; i < 4; ++i) {
    PathSegment segment;
    if (HostError error = sPath->GetPathSegments(target, i, 1, &segment)) return error;
    segment = outline.segments[i];
    if (HostError error = sPath->SetPathSegments(target, i, 1, &segment)) return error;
  }
  return kHostNoError;
}

}  // namespace

HostError AppendBridge(ArtHandle* first, ArtHandle* second, HostReal a, HostReal b, ArtHandle* templatePath,
                       bool duplicate, ArtHandle* workingList, int32_t* lastIndex) {
  BlendCircle firstCircle;
  if (HostError error = ReadCircle(*first, &firstCircle)) return error;
  BlendCircle secondCircle;
  if (HostError error = ReadCircle(*second, &secondCircle)) return error;

  const std::optional<BridgeOutline> outline =
      ComputeBridgeOutline(firstCircle, secondCircle, a, b, kHostPointMath);
  if (!outline) return kHostNoError;

  ArtHandle target = *templatePath;
  if (duplicate) {
    if (HostError error = sArt->DuplicateArt(*templatePath, kPlaceAbove, *templatePath, &target))
      return error;
  }
  if (HostError error = WriteOutline(target, *outline)) return error;

  ++*lastIndex;
  workingList[*lastIndex] = target;
  return kHostNoError;
}
