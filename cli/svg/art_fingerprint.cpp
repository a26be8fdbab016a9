#include "cli/svg/art_fingerprint.h"

#include <cstring>

namespace morvelin {

namespace {

struct Fnv1a {
  uint64_t value = 14695981039346656037ull;
  void Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
  }
  template <typename T>
  void AddValue(const T& v) {
    Add(&v, sizeof v);
  }
};

// PathSegment (28 bytes) and PathStyle (216 bytes) have no padding, so their
// bytes are their values.
void AddArt(Fnv1a& hash, const ArtObject& art, const PathStyle& style) {
  hash.AddValue(art.type);
  hash.AddValue(art.closed);
  hash.AddValue(art.guide);
  hash.AddValue(art.clip);
  hash.AddValue(art.segments.size());
  if (!art.segments.empty()) hash.Add(art.segments.data(), art.segments.size() * sizeof(PathSegment));
  hash.AddValue(style);
  hash.AddValue(art.source->foreign.size());
  hash.Add(art.source->foreign.data(), art.source->foreign.size());
  hash.AddValue(art.children.size());
  for (const ArtObject* child : art.children) AddArt(hash, *child, child->style.get());
}

}  // namespace

uint64_t ArtFingerprint(const ArtObject& art) { return ArtFingerprint(art, art.style.get()); }

uint64_t ArtFingerprint(const ArtObject& art, const PathStyle& style) {
  Fnv1a hash;
  AddArt(hash, art, style);
  return hash.value;
}

}  // namespace morvelin
