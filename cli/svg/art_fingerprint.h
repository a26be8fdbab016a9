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

// The fingerprint the object would have with `style` as its own path style
// (its children's count as they are): equal to the fingerprint it was read
// with when only its style changed since.
uint64_t ArtFingerprint(const ArtObject& art, const PathStyle& style);

}  // namespace morvelin
