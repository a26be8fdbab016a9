// The stand-in's art objects: what an ArtHandle points to.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host_api/host_api.h"

// One object of the art tree. Children are in paint order: children[0] is the
// lowest, each later child lies above the ones before it.
struct ArtObject {
  int16_t type = kArtTypeGroup;
  ArtObject* parent = nullptr;
  std::vector<ArtObject*> children;  // groups and compound paths

  // Paths.
  std::vector<PathSegment> segments;
  bool closed = false;
  bool guide = false;
  bool clip = false;
  PathStyle style{};  // also the style of a compound path

  // A label for tests and traces (e.g. an SVG id); not seen by the plug-in.
  std::string name;
  // Objects the host keeps without modelling them (text, images, SVG it does
  // not read): their source, written back out unchanged.
  std::string foreign;
  // Source (SVG) attributes the art does not model, raw XML text, written back unchanged.
  std::vector<std::pair<std::string, std::string>> attributes;
  // Which source element the object was read from (an index the reader
  // assigns; -1 for objects made since). Copies keep it.
  int32_t origin = -1;
};
