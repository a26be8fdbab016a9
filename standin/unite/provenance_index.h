// Where the vertices of a united outline came from: for each grid point of
// the result, the flattened source points that lie on it (source contour,
// index in its flattening, ring position), and the flattened source edges
// that pass through it (where two sources' edges cross, the result has a
// vertex of neither). Built in two passes so that only the result's points
// are ever stored: first the keys of the result, then every source
// flattening is streamed past and its points and edges on those keys are
// kept. Matching a flattening against the keys only reads the index, so
// several flattenings can be matched at once; what they match is kept
// afterwards in a fixed order.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace standin {

struct Provenance {
  uint32_t contour;  // index into the unite's list of source contours
  uint32_t index;    // position in that contour's flattening (of an edge: its start)
  double u;          // ring position on the source contour
};

class ProvenanceIndex {
 public:
  // Declares a grid point of the result; points not declared are not kept.
  void AddKey(int64_t x, int64_t y);
  // Sorts the declared points into cells for MatchEdge; call after the last
  // AddKey and before the first MatchEdge.
  void Seal();

  // A source point found on a declared grid point.
  struct Hit {
    uint64_t key;
    Provenance provenance;
  };
  // Appends the source point if its grid point was declared.
  void MatchPoint(int64_t x, int64_t y, const Provenance& provenance, std::vector<Hit>* hits) const;
  // Appends, for every declared point other than the edge's ends that lies
  // within one grid step of the flattened edge from `from` to `to`, the
  // edge's contour and start index, with the ring position interpolated
  // between uFrom and uTo. The union rounds the crossings of edges to the
  // nearest grid point, so a crossing lies within half a step of both.
  void MatchEdge(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY, uint32_t contour, uint32_t index,
                 double uFrom, double uTo, std::vector<Hit>* hits) const;
  // Keeps the hits, in their order, after those kept before.
  void Keep(const std::vector<Hit>& hits);

  // The source points kept on a grid point, in the order they were kept.
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
  // The declared points by square cells of kCell grid steps, sorted by
  // cell (Seal).
  static constexpr int kCellBits = 12;
  // A cell's side in grid steps; cells are numbered by arithmetic right
  // shifts, and their edges found by multiplying (a left shift of a negative
  // cell number would be undefined).
  static constexpr int64_t kCellSize = int64_t{1} << kCellBits;
  struct Celled {
    uint64_t cell;
    int64_t x, y;
  };
  std::vector<Celled> cells_;
  // One bit per hashed cell: set when a declared point may lie in it, so
  // that most cells an edge passes are passed over without a search.
  static constexpr int kOccupiedBits = 20;
  std::vector<uint64_t> occupied_;
};

}  // namespace standin
