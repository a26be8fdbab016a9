// The walk that finds the closed, painted paths inside the effect's input art.
#pragma once

#include <cstdint>

#include "host_api/host_api.h"

// Walks `art`, its following siblings and all their descendants through
// groups, depth first in child order, and counts the eligible paths: paths
// that are not clipping paths, not guides, closed, and filled or stroked.
// Compound paths and other art are passed over without looking inside.
//
// `counter` belongs to the caller, who sets it to 0 before the walk; a
// negative counter makes the walk do nothing. When `list` is not null, the
// n-th eligible path is stored in list[n - 1], and `capacity` is the number
// of entries the list has room for (the caller sizes it by a counting walk
// over the same art); without a list, `capacity` is not used.
//
// On return the counter holds the number found, or -1 when a host call
// failed (the code is not passed on), when there are more eligible paths
// than the 16-bit counter can hold (32767), or when a list is full and
// another eligible path turns up (nothing is written past `capacity`). The
// walk only reads the art.
void CollectSourcePaths(ArtHandle art, int16_t* counter, ArtHandle* list, int16_t capacity);
