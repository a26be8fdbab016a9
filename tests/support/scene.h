// Scenes for tests: a stand-in host holding art built from a compact, nested
// description, with every object reachable by its name.
//
//   Scene scene({
//       Group("outer", {
//           Circle("A", 0, 0, 10),
//           Group("inner", {Circle("B", 30, 0, 10), Circle("C", 60, 0, 10).NoFill().Stroked()}),
//       }),
//       Circle("D", 90, 0, 10).Open(),
//       Other("caption", kArtTypeText),
//   });
//   CollectSourcePaths(scene["outer"], &count, list, capacity);
//
// The top-level items go into one root group, the layer (scene.layer()), so
// that every item has a parent as art in a document does. A path is closed and
// filled unless its description says otherwise. Names are labels for tests
// only; the plug-in never sees them, and the journal shows them in place of
// handles. When the scene ends, it checks the host's balance.
#pragma once

#include <string>
#include <vector>

#include "host_api/host_api.h"
#include "standin/art/art_object.h"
#include "standin/core/host.h"

namespace testscene {

// The description of one object (and, for groups and compound paths, of its
// children in paint order, lowest first). The modifiers return a changed copy.
struct ArtDescription {
  int16_t type = kArtTypePath;
  std::string name;
  std::vector<PathSegment> segments;
  bool closed = true;
  bool guide = false;
  bool clip = false;
  PathStyle style{};
  std::vector<ArtDescription> children;

  ArtDescription Open() const;
  ArtDescription Guide() const;
  ArtDescription Clip() const;
  ArtDescription NoFill() const;                     // fill-paint flag cleared
  ArtDescription Stroked(HostReal width = 1) const;  // stroke-paint flag set, with this width
  ArtDescription Unpainted() const;                  // neither fill nor stroke
};

// A circle as the host draws one: four cubic pieces, anchors at 0, 90, 180 and
// 270 degrees, counter-clockwise, handles 0.5522847 * r long along the tangent.
ArtDescription Circle(const std::string& name, HostReal h, HostReal v, HostReal r);
// A path through `corners` with straight pieces (every handle retracted).
ArtDescription Polygon(const std::string& name, const std::vector<HostPoint>& corners);
// A path with the given segments.
ArtDescription Path(const std::string& name, const std::vector<PathSegment>& segments);
ArtDescription Group(const std::string& name, const std::vector<ArtDescription>& children = {});
// A compound path; its paths are painted with its style.
ArtDescription Compound(const std::string& name, const std::vector<ArtDescription>& paths);
// An object the plug-in does not look into: text, placed or raster art...
ArtDescription Other(const std::string& name, int16_t type = kArtTypeText);

class Scene {
 public:
  // A new stand-in host (the current one while the scene lives) with `items`
  // in its layer.
  explicit Scene(const std::vector<ArtDescription>& items = {});
  // Fails the test unless the host's balance is zero (every suite released,
  // block freed, string disposed of...), unless AllowImbalance was called.
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;
  void AllowImbalance() { checkBalance_ = false; }

  standin::Host& host() { return host_; }
  standin::Journal& journal() { return host_.journal(); }
  ArtHandle layer() const { return layer_; }

  // Builds `item` as the new top child of `parent` (the layer when null).
  ArtHandle Add(const ArtDescription& item, ArtHandle parent = nullptr);
  // The first live object named `name`, depth first from the layer; a test
  // failure and null when there is none.
  ArtHandle operator[](const std::string& name) const;
  // Whether a live object named `name` is in the layer.
  bool Has(const std::string& name) const;
  // The names of a group's children in paint order, lowest first ("" for an
  // object without a name, such as a copy the host made).
  static std::vector<std::string> ChildNames(ArtHandle group);

 private:
  standin::Host host_;
  ArtHandle layer_;
  bool checkBalance_ = true;
};

}  // namespace testscene
