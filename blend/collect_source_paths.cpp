#include "blend/collect_source_paths.h"

#include "plugin/suite_table.h"

namespace {

constexpr int16_t kWalkFailed = -1;
constexpr int16_t kMostPaths = INT16_MAX;

// Whether `path` is a source path: asked in this order, stopping at the first
// answer that excludes it. 0 or the first host code.
HostError IsEligiblePath(ArtHandle path, bool* eligible) {
  *eligible = false;
  HostBoolean flag = 0;
  if (HostError error = sPath->GetPathIsClip(path, &flag)) return error;
  if (flag != 0) return kHostNoError;
  if (HostError error = sPath->GetPathGuide(path, &flag)) return error;
  if (flag != 0) return kHostNoError;
  if (HostError error = sPath->GetPathClosed(path, &flag)) return error;
  if (flag == 0) return kHostNoError;
  PathStyle style;
  if (HostError error = sPathStyle->GetPathStyle(path, &style)) return error;
  *eligible = style.fillPaint != 0 || style.strokePaint != 0;
  return kHostNoError;
}

}  // namespace

void CollectSourcePaths(ArtHandle art, int16_t* counter, ArtHandle* list, int16_t capacity) {
  if (*counter < 0 || art == nullptr) return;
  for (ArtHandle current = art; current != nullptr;) {
    int16_t type = kArtTypeUnknown;
    if (sArt->GetArtType(current, &type) != kHostNoError) {
      *counter = kWalkFailed;
      return;
    }
    if (type == kArtTypePath) {
      bool eligible = false;
      if (IsEligiblePath(current, &eligible) != kHostNoError) {
        *counter = kWalkFailed;
        return;
      }
      if (eligible) {
        // One more would wrap the 16-bit counter, or overrun the list: the
        // walk fails instead.
        if (*counter == kMostPaths || (list != nullptr && *counter >= capacity)) {
          *counter = kWalkFailed;
          return;
        }
        if (list != nullptr) list[*counter] = current;
        ++*counter;
      }
    } else if (type == kArtTypeGroup) {
      ArtHandle child = nullptr;
      if (sArt->GetArtFirstChild(current, &child) != kHostNoError) {
        *counter = kWalkFailed;
        return;
      }
      if (child != nullptr) {
        CollectSourcePaths(child, counter, list, capacity);
        if (*counter < 0) return;
      }
    }
    ArtHandle next = nullptr;
    if (sArt->GetArtSibling(current, &next) != kHostNoError) {
      *counter = kWalkFailed;
      return;
    }
    current = next;
  }
}
