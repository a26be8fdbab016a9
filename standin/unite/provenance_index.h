// Where the vertices of a united outline came from: for each grid point of
// the result, the flattened source points that lie on it (source contour,
// index in its flattening, ring position), and the flattened source edges
// that pass through it (where two sources' edges cross, the result has a
// vertex of neither). Built in two passes so that only the result's points
// are ever stored: first the keys of the result, then every source
// flattening is streamed past and its points and edges on those keys are
// kept.
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
  // Keeps the source point if its grid point was declared.
  void Record(int64_t x, int64_t y, const Provenance& provenance);
  // Keeps, for every declared point other than the edge's ends that lies
  // within one grid step of the flattened edge from `from` to `to`, the
  // edge's contour and start index, with the ring position interpolated
  // between uFrom and uTo. The union rounds the crossings of edges to the
  // nearest grid point, so a crossing lies within half a step of both.
  // Call after the last AddKey.
  void RecordEdge(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY, uint32_t contour, uint32_t index,
                  double uFrom, double uTo);
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
  // The declared points by square cells of kCell grid steps: sorted by
  // cell, built on the first RecordEdge.
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
  bool celled_ = false;
  void Add(uint64_t key, const Provenance& provenance);
  // Sorts the declared points into cells and sets their filter bits; once,
  // when the first edge is recorded (all keys are declared by then).
  void BuildCells();
};

}  // namespace standin
