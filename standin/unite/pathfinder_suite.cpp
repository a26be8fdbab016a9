// "AI Pathfinder Suite": the unite of the host's UniteEngine. The call is
// recorded in the journal first and returns an injected code without doing
// anything else; running out of memory while uniting is reported as
// kHostErrOutOfMemory, never thrown through the plug-in.
#include <cstdio>
#include <new>
#include <string>

#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/unite/unite_engine.h"

namespace standin {

namespace {

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
  if (HostError e =
          host->journal().Enter(kPathfinderSuite, "DoUniteEffect", [data] { return UniteArgs(data); }))
    return e;
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

void RegisterPathfinderSuite(Host& host) {
  host.suites().Add(kPathfinderSuite, kPathfinderSuiteVersion, &kPathfinder);
}

}  // namespace standin
