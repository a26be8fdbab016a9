#include "blend/go_live.h"

#include <cstring>

#include "blend/append_bridge.h"
#include "blend/collect_source_paths.h"
#include "blend/handle_list.h"
#include "blend/path_operations.h"
#include "params/effect_parameters.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"

namespace {

// Every bridge's handles may grow to this multiple of the rate fraction.
constexpr HostReal kHandleCap = 2.0f;

bool InDialog() { return gGlobals != nullptr && gGlobals->inDialog != 0; }

// The lists one execution builds; freed together on every exit.
struct HandleLists {
  ArtHandle* sources = nullptr;
  ArtHandle* working = nullptr;
  ArtHandle* unite = nullptr;
  ~HandleLists() {
    FreeHandleList(&sources);
    FreeHandleList(&working);
    FreeHandleList(&unite);
  }
};

// True when `art` is one of entries first..last of `list`.
bool ListHolds(const ArtHandle* list, int32_t first, int32_t last, ArtHandle art) {
  for (int32_t i = first; i <= last; ++i) {
    if (list[i] == art) return true;
  }
  return false;
}

// The source paths of the art, in lists.sources: a count pass, then a fill
// pass over the same, unchanged art. Fewer than two leave *count below 2.
HostError CollectSources(ArtHandle art, HandleLists& lists, int16_t* count) {
  *count = 0;
  CollectSourcePaths(art, count, nullptr, 0);
  if (*count < 2) return kHostNoError;
  if (HostError error = AllocateHandleList(static_cast<uint32_t>(*count), &lists.sources)) return error;
  const int16_t capacity = *count;
  *count = 0;
  CollectSourcePaths(art, count, lists.sources, capacity);
  return kHostNoError;
}

// The template: a four-segment copy of the first source, just above it, with
// a round join like every source.
HostError MakeTemplate(HandleLists& lists, int16_t count, ArtHandle* templatePath) {
  if (HostError error = sArt->DuplicateArt(lists.sources[0], kPlaceAbove, lists.sources[0], templatePath)) {
    return error;
  }
  if (HostError error = ForceSegmentCount(templatePath, 4)) return error;
  if (HostError error = SetRoundJoin(templatePath)) return error;
  for (int16_t i = 0; i < count; ++i) {
    if (HostError error = SetRoundJoin(&lists.sources[i])) return error;
  }
  return kHostNoError;
}

// One bridge per pair into lists.working, which starts as the sources; the
// last pair builds its bridge in the template. *lastIndex is the working
// list's last entry.
HostError BuildBridges(HandleLists& lists, int16_t count, HostReal rate, ArtHandle* templatePath,
                       int32_t* lastIndex) {
  // The rate fraction: the 32-bit rate divided by 100 in double, rounded.
  const HostReal fraction = static_cast<HostReal>(static_cast<double>(rate) / 100.0);
  const uint32_t workingEntries = static_cast<uint32_t>(count) * static_cast<uint32_t>(count);
  if (HostError error = AllocateHandleList(workingEntries, &lists.working)) return error;
  std::memcpy(lists.working, lists.sources, sizeof(ArtHandle) * static_cast<std::size_t>(count));
  *lastIndex = count - 1;
  for (int16_t i = 0; i <= count - 2; ++i) {
    for (int16_t j = static_cast<int16_t>(i + 1); j <= count - 1; ++j) {
      const bool lastPair = i == count - 2 && j == count - 1;
      if (HostError error = AppendBridge(&lists.sources[i], &lists.sources[j], fraction, kHandleCap,
                                         templatePath, !lastPair, lists.working, lastIndex)) {
        return error;
      }
    }
  }
  return kHostNoError;
}

// Unites the first n entries of the working list (sources and bridges) in
// one Pathfinder call.
HostError UniteWorkingList(const LiveEffectGoLiveMessage* message, HandleLists& lists, int32_t n) {
  if (HostError error = AllocateHandleList(static_cast<uint32_t>(n), &lists.unite)) return error;
  std::memcpy(lists.unite, lists.working, sizeof(ArtHandle) * static_cast<std::size_t>(n));

  PathfinderData data;
  std::memset(&data, 0, sizeof data);
  data.precision = 10.0;
  data.removeRedundantPoints = 1;
  data.extractUnpaintedArtwork = 1;
  data.objects = lists.unite;
  data.objectCount = n;
  data.reserved = 0;

  PathfinderMessage uniteMessage;
  std::memset(&uniteMessage, 0, sizeof uniteMessage);
  uniteMessage.d = message->d;
  uniteMessage.reserved1 = nullptr;
  uniteMessage.reserved2 = nullptr;

  return sPathfinder->DoUniteEffect(&data, &uniteMessage);
}

// Builds the bridges and unites them with the sources; the steps after the
// suites are held and before they are released.
HostError BuildAndUnite(LiveEffectGoLiveMessage* message, HandleLists& lists) {
  // The viscosity; without one (or with 0.0) the art stays as it is.
  HostReal rate = 0.0f;
  if (!ReadStoredRate(message->parameters, &rate)) return kHostNoError;
  if (rate == 0.0f) return kHostNoError;

  int16_t count = 0;
  if (HostError error = CollectSources(message->art, lists, &count)) return error;
  if (count < 2) return kHostNoError;

  ArtHandle templatePath = nullptr;
  if (HostError error = MakeTemplate(lists, count, &templatePath)) return error;
  int32_t lastIndex = count - 1;
  if (HostError error = BuildBridges(lists, count, rate, &templatePath, &lastIndex)) return error;

  // A template that holds no bridge would stay over the result as a stray
  // copy of the first source; it goes. The removal is a clean-up the unite
  // does not depend on: when the host refuses it, the template stays where it
  // is (outside the unite list) and the unite still runs.
  if (!ListHolds(lists.working, count, lastIndex, templatePath)) {
    (void)sArt->DisposeArt(templatePath);
  }

  const int32_t n = lastIndex + 1;
  if (n <= count) return kHostNoError;
  return UniteWorkingList(message, lists, n);
}

}  // namespace

HostError GoLive(LiveEffectGoLiveMessage* message) {
  HostError result = kHostNoError;
  if (!InDialog()) result = AcquireAllSuites(message->d.basic);

  if (result == kHostNoError) {
    HandleLists lists;
    result = BuildAndUnite(message, lists);
  }

  if (!InDialog()) ReleaseAllSuites(message->d.basic);
  return result;
}
