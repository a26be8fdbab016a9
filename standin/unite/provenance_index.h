// Where the vertices of a united outline came from: for each grid point of
// the result, the flattened source points that lie on it (source contour,
// index in its flattening, ring position). Built in two passes so that only
// the result's points are ever stored: first the keys of the result, then
// every source flattening is streamed past and its points on those keys are
// kept.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace standin {

struct Provenance {
  uint32_t contour;  // index into the unite's list of source contours
  uint32_t index;    // position in that contour's flattening
  double u;          // ring position on the source contour
};

class ProvenanceIndex {
 public:
  // Declares a grid point of the result; points not declared are not kept.
  void AddKey(int64_t x, int64_t y);
  // Keeps the source point if its grid point was declared.
  void Record(int64_t x, int64_t y, const Provenance& provenance);
  // The source points recorded on a grid point, in recording order.
  void Find(int64_t x, int64_t y, std::vector<Provenance>* found) const;

 private:
  static uint64_t Key(int64_t x, int64_t y) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
  }
  struct Entry {
    Provenance provenance;
    uint32_t next;  // the next entry on the same grid point, or kNone
  };
  static constexpr uint32_t kNone = 0xffffffffu;
  // Grid point -> first and last entry on it.
  std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> heads_;
  std::vector<Entry> entries_;
};

}  // namespace standin
