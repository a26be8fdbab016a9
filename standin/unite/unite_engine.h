// The stand-in's Pathfinder unite ("AI Pathfinder Suite", DoUniteEffect).
//
// What this host does with a unite call (its own choice; the plug-in relies
// only on the result code):
// - The records are checked first: null records, a message whose check field
//   is not kSPValidMessageData, a negative count, a null list with a positive
//   count, or a listed handle that is not a live path or compound path (or is
//   a path inside a compound path) give kHostErrBadParameter and change
//   nothing. A handle listed twice counts once; a count of 0 does nothing.
// - Objects that lie inside the others are left out first: an object whose
//   area lies, with a margin of twice the flattening tolerance and four grid
//   steps, inside objects kept before it cannot change the union
//   (shape_cull.h). They are disposed of with the rest.
// - Every other listed object is flattened (each cubic piece halved until within
//   0.01 document units of its chord; where a piece curves towards the
//   painted side the polygon follows its tangents there instead of the chord,
//   so that it never paints more than the curve and thin holes stay open; a
//   closed path includes its closing segment, an open path is closed by a
//   straight edge, a compound path brings all its contours), resolved by its
//   own fill rule, and the painted areas are united with Clipper by the
//   non-zero rule on a grid of 1/1024 units, objects with nearby bounding
//   boxes first. Whether an object is painted does not matter:
//   its area counts as if filled. In the native build the work is shared
//   between two threads (standin/unite/work_split.h); the result is the
//   same, bit for bit, as on one.
// - The united polygons are then turned back into the sources' own curves:
//   each stretch of a contour that follows one source is that source's
//   pieces (whole where they survive whole, sub-curves between the crossing
//   parameters where cut), the crossings refined on both curves, so the
//   outline has about as many segments as the sources show. Anchors at
//   crossings are corners; anchors of a source keep their corner flag.
// - Coordinates beyond ±1e6 units, or not finite, give kHostErrBadParameter;
//   a united contour of more than 32767 segments gives kHostErrRange. There
//   is no limit on the number of objects or flattened points other than
//   memory: the flattenings are not kept, only the partial unions and the
//   result's points, and running out gives kHostErrOutOfMemory. In every
//   such case nothing changes.
// - The result replaces the listed objects: one closed path per outer
//   outline, or a compound path of the
//   outline and its holes when it has any; an island inside a hole is an
//   outline of its own. They take the place of the lowest listed object (the
//   first in a depth-first walk of the tree in child order), in its group,
//   with its style (when that object is a root, the new objects are roots
//   too). All listed objects are disposed of; groups that held them stay,
//   even when empty. Created objects are counted as made by the host.
// - When the united area is empty (every listed path degenerate), the listed
//   objects are disposed of and nothing takes their place.
// - The options (precision, removeRedundantPoints, extractUnpaintedArtwork)
//   are recorded; only removeRedundantPoints acts: when set, anchors between
//   two straight segments that continue each other on one line are dropped
//   from the result. Anchors that coincide once rounded to 32-bit reals are
//   always merged.
// - With merging turned off (SetMerging(false)) the call is checked and
//   recorded, returns 0, and the listed objects stay as they are.
#pragma once

#include <vector>

#include "host_api/host_api.h"

namespace standin {

class Host;
class ArtStore;
struct OutlineSegments;

// The union of the objects (live paths and compound paths, each once) as
// outlines, as the unite computes it, without touching the art: 0,
// kHostErrBadParameter for a coordinate out of range, kHostErrRange for a
// contour longer than a path holds (then *outlines is empty).
// std::bad_alloc may escape.
HostError UniteOutlines(const std::vector<ArtObject*>& objects, bool removeRedundantPoints,
                        std::vector<OutlineSegments>* outlines);

// One unite call as the host received it.
struct UniteCall {
  double precision = 0;
  int32_t removeRedundantPoints = 0;
  int32_t extractUnpaintedArtwork = 0;
  int32_t count = 0;
  std::vector<ArtHandle> objects;  // the listed handles, in list order
  HostError result = kHostNoError;
};

class UniteEngine {
 public:
  // Checks the records, records the call, and unless merging is off, replaces
  // the listed objects in `store` with their union. Returns 0 or a code as
  // described above; on any code other than 0 nothing has changed.
  // std::bad_alloc may escape; the suite function turns it into a code.
  HostError Unite(ArtStore& store, const PathfinderData* data, const PathfinderMessage* message);

  // Merging on (the default) unites; off, calls are only checked and recorded.
  void SetMerging(bool merging) { merging_ = merging; }
  bool merging() const { return merging_; }

  // Calls that reached the engine with a data record (a call failed by the
  // journal's fault injection does not), and the last of them.
  int calls() const { return calls_; }
  const UniteCall& lastCall() const { return last_; }

 private:
  void Record(const PathfinderData* data);
  bool merging_ = true;
  int calls_ = 0;
  UniteCall last_;
};

// Registers "AI Pathfinder Suite".
void RegisterPathfinderSuite(Host& host);

}  // namespace standin
