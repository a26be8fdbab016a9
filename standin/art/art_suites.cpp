#include "standin/art/art_suites.h"

#include <cstdio>

#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/core/suite_registry.h"
#include "standin/text/printable_text.h"

namespace standin {

void RegisterArtSuites(Host& host) {
  host.suites().Add(kArtSuite, kArtSuiteVersion, &StandinArtSuite());
  host.suites().Add(kPathSuite, kPathSuiteVersion, &StandinPathSuite());
  host.suites().Add(kPathStyleSuite, kPathStyleSuiteVersion, &StandinPathStyleSuite());
  host.suites().Add(kRealMathSuite, kRealMathSuiteVersion, &StandinRealMathSuite());
}

std::string ArtText(Host& host, ArtHandle art) {
  if (art != nullptr && host.art().IsLive(art) && !art->source->name.empty())
    return NameText(art->source->name);
  return HandleText(art);
}

std::string RealText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string PointText(const HostPoint* point) {
  if (point == nullptr) return "null";
  return "(" + RealText(point->h) + ", " + RealText(point->v) + ")";
}

}  // namespace standin
