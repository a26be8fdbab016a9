#include "standin/unite/provenance_index.h"

#include <algorithm>
#include <cmath>

namespace standin {

void ProvenanceIndex::AddKey(int64_t x, int64_t y) {
  heads_.emplace(Key(x, y), std::make_pair(kNone, kNone));
}

void ProvenanceIndex::MatchPoint(int64_t x, int64_t y, const Provenance& provenance,
                                 std::vector<Hit>* hits) const {
  const uint64_t key = Key(x, y);
  if (heads_.count(key) != 0) hits->push_back(Hit{key, provenance});
}

void ProvenanceIndex::Keep(const std::vector<Hit>& hits) {
  for (const Hit& hit : hits) {
    auto it = heads_.find(hit.key);
    if (it == heads_.end()) continue;
    const uint32_t at = static_cast<uint32_t>(entries_.size());
    entries_.push_back(Entry{hit.provenance, kNone});
    if (it->second.first == kNone) {
      it->second.first = at;
    } else {
      entries_[it->second.second].next = at;
    }
    it->second.second = at;
  }
}

namespace {

uint64_t CellKey(int64_t cx, int64_t cy) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) | static_cast<uint32_t>(cy);
}

// A cell's bit in the occupancy filter (a multiplicative hash).
uint32_t CellBit(uint64_t cell, int bits) {
  return static_cast<uint32_t>((cell * 0x9e3779b97f4a7c15ull) >> (64 - bits));
}

}  // namespace

void ProvenanceIndex::Seal() {
  cells_.clear();
  cells_.reserve(heads_.size());
  for (const auto& head : heads_) {
    const int64_t x = static_cast<int32_t>(head.first >> 32), y = static_cast<int32_t>(head.first);
    cells_.push_back(Celled{CellKey(x >> kCellBits, y >> kCellBits), x, y});
  }
  std::sort(cells_.begin(), cells_.end(), [](const Celled& a, const Celled& b) { return a.cell < b.cell; });
  occupied_.assign((std::size_t{1} << kOccupiedBits) / 64, 0);
  for (const Celled& c : cells_) {
    const uint32_t bit = CellBit(c.cell, kOccupiedBits);
    occupied_[bit / 64] |= uint64_t{1} << (bit % 64);
  }
}

void ProvenanceIndex::MatchEdge(int64_t fromX, int64_t fromY, int64_t toX, int64_t toY, uint32_t contour,
                                uint32_t index, double uFrom, double uTo, std::vector<Hit>* hits) const {
  if (cells_.empty() || (fromX == toX && fromY == toY)) return;
  const double dx = static_cast<double>(toX - fromX), dy = static_cast<double>(toY - fromY);
  const double length2 = dx * dx + dy * dy;
  // Column by column of cells, the rows the edge (widened by a step) meets.
  const int64_t lowX = std::min(fromX, toX) - 1, highX = std::max(fromX, toX) + 1;
  for (int64_t cx = lowX >> kCellBits; cx <= highX >> kCellBits; ++cx) {
    const double left = std::max<double>(static_cast<double>(cx * kCellSize), static_cast<double>(lowX));
    const double right =
        std::min<double>(static_cast<double>((cx + 1) * kCellSize - 1), static_cast<double>(highX));
    double top, bottom;
    if (dx == 0) {
      top = static_cast<double>(std::min(fromY, toY));
      bottom = static_cast<double>(std::max(fromY, toY));
    } else {
      const double t0 = std::clamp((left - static_cast<double>(fromX)) / dx, 0.0, 1.0);
      const double t1 = std::clamp((right - static_cast<double>(fromX)) / dx, 0.0, 1.0);
      const double y0 = static_cast<double>(fromY) + t0 * dy, y1 = static_cast<double>(fromY) + t1 * dy;
      top = std::min(y0, y1);
      bottom = std::max(y0, y1);
    }
    const int64_t lowCy = (static_cast<int64_t>(std::floor(top)) - 1) >> kCellBits;
    const int64_t highCy = (static_cast<int64_t>(std::ceil(bottom)) + 1) >> kCellBits;
    for (int64_t cy = lowCy; cy <= highCy; ++cy) {
      const uint64_t cell = CellKey(cx, cy);
      const uint32_t bit = CellBit(cell, kOccupiedBits);
      if ((occupied_[bit / 64] >> (bit % 64) & 1) == 0) continue;
      auto it = std::lower_bound(cells_.begin(), cells_.end(), cell,
                                 [](const Celled& c, uint64_t k) { return c.cell < k; });
      for (; it != cells_.end() && it->cell == cell; ++it) {
        if ((it->x == fromX && it->y == fromY) || (it->x == toX && it->y == toY)) continue;
        const double px = static_cast<double>(it->x - fromX), py = static_cast<double>(it->y - fromY);
        const double t = std::clamp((px * dx + py * dy) / length2, 0.0, 1.0);
        const double ex = px - t * dx, ey = py - t * dy;
        if (ex * ex + ey * ey > 4.0) continue;
        hits->push_back(Hit{Key(it->x, it->y), Provenance{contour, index, uFrom + t * (uTo - uFrom)}});
      }
    }
  }
}

void ProvenanceIndex::Find(int64_t x, int64_t y, std::vector<Provenance>* found) const {
  found->clear();
  auto it = heads_.find(Key(x, y));
  if (it == heads_.end()) return;
  for (uint32_t at = it->second.first; at != kNone; at = entries_[at].next)
    found->push_back(entries_[at].provenance);
}

}  // namespace standin
