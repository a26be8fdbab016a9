// The host layer of the bridge: one bridge path between two source paths,
// written into a path object and appended to the effect's working list.
#pragma once

#include <cstdint>

#include "host_api/host_api.h"

// Takes `*first` and `*second` as circles (from their geometric bounds) and,
// when they yield a bridge for rate fraction `a` and handle cap `b`, writes
// the bridge's four segments into the first four segments of a path and
// appends that path to `workingList` at ++*lastIndex. The path is a new copy
// of `*templatePath` placed directly above it when `duplicate` is set, or
// the template path itself when it is clear; it keeps the template's style
// and closed state. The template must have at least four segments.
//
// The handles and the list belong to the caller; the list has room for entry
// *lastIndex + 1. Returns 0 (also when the circles yield no bridge: then
// nothing is created or changed) or the first host code met. On a code
// nothing is appended and *lastIndex is unchanged, but segments already
// written stay written and a copy already made stays in the document.
HostError AppendBridge(ArtHandle* first, ArtHandle* second, HostReal a, HostReal b, ArtHandle* templatePath,
                       bool duplicate, ArtHandle* workingList, int32_t* lastIndex);
