// A fingerprint of what an art object draws, to tell whether an object is
// still as it was read.
#pragma once

#include <cstdint>

#include "standin/art/art_object.h"

namespace morvelin {

// A 64-bit FNV-1a hash of the object's type, geometry (segments, closed,
// guide and clip flags), path style, kept source text, and those of its
// children in order. Names, attributes and `origin` do not count.
uint64_t ArtFingerprint(const ArtObject& art);

}  // namespace morvelin
