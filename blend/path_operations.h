// Two small operations on one path that the effect's execution needs. Both
// call the host through the suite slots and return 0 or the first host code.
#pragma once

#include "host_api/host_api.h"

// Trims or pads *path to exactly n segments: segments from index n on are
// deleted; missing ones are filled with copies of segment 0 appended one by
// one behind the current last segment. n below 1 does nothing.
HostError ForceSegmentCount(ArtHandle* path, int16_t n);

// Sets the stroke line join of *path to round and changes nothing else in its
// style (an unstroked path stays unstroked).
HostError SetRoundJoin(ArtHandle* path);
