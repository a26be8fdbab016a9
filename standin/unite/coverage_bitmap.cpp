#include "standin/unite/coverage_bitmap.h"

#include <algorithm>
#include <cmath>

#include "standin/unite/source_contours.h"

namespace standin {

namespace {

// Halving stops at this depth whatever the box (a piece of coordinates up to
// 1e6 is then below 1e-3 units).
constexpr int kMaxDepth = 30;

double SquaredDistanceToSegment(const Vec2& p, const Vec2& a, const Vec2& b) {
  const double dh = b.h - a.h, dv = b.v - a.v;
  const double lengthSquared = dh * dh + dv * dv;
  double t = 0;
  if (lengthSquared > 0) t = std::clamp(((p.h - a.h) * dh + (p.v - a.v) * dv) / lengthSquared, 0.0, 1.0);
  const double eh = p.h - (a.h + t * dh), ev = p.v - (a.v + t * dv);
  return eh * eh + ev * ev;
}

}  // namespace

CoverageBitmap::CoverageBitmap(double lowH, double lowV, double highH, double highV, double cell)
    : lowH_(lowH - cell), lowV_(lowV - cell), cell_(cell) {
  cols_ = static_cast<int64_t>(std::ceil((highH - lowH_) / cell)) + 2;
  const int64_t rows = static_cast<int64_t>(std::ceil((highV - lowV_) / cell)) + 2;
  // Whole rows of top-level blocks, every level's rows whole words.
  const int64_t top = int64_t{1} << (kLevels - 1) * kBlockShift;
  rows_ = (rows + top - 1) / top * top;
  int64_t words = (cols_ + 63) / 64, levelRows = rows_;
  for (Level& level : levels_) {
    level.words = words;
    level.bits.assign(static_cast<std::size_t>(words * levelRows), 0);
    words = (words + kBlock - 1) / kBlock;
    levelRows /= kBlock;
  }
  words_ = levels_[0].words;
  scratch_.assign(static_cast<std::size_t>(words_), 0);
  nearBits_.assign(levels_[0].bits.size(), 0);
}

template <typename Near>
bool CoverageBitmap::ForNearRuns(double margin, Near near) const {
  for (const Chord& c : chords_) {
    // A point of row r within `reach` of the chord has a chord point within
    // reach of it both across and along the row.
    const double reach = c.off + margin;
    const double low = std::min(c.from.v, c.to.v), high = std::max(c.from.v, c.to.v);
    for (int64_t r = Row(low - reach), last = Row(high + reach); r <= last; ++r) {
      const double v0 = lowV_ + static_cast<double>(r) * cell_;
      double lo, hi;
      if (ClipToBand(c.from, c.to, v0 - reach, v0 + cell_ + reach, &lo, &hi) &&
          !near(r, Col(lo - reach), Col(hi + reach)))
        return false;
    }
  }
  return true;
}

template <typename Covered>
bool CoverageBitmap::Container(bool evenOdd, double margin, Covered covered) {
  return ForNearRuns(margin, covered) && ForPaintedCells(evenOdd, covered);
}

template <typename Use>
void CoverageBitmap::ForInsideWords(bool evenOdd, double margin, Use use) {
  near_.clear();
  ForNearRuns(margin, [&](int64_t r, int64_t c0, int64_t c1) {
    near_.push_back(Band{r, c0, c1});
    return true;
  });
  for (const Band& b : near_) SetRange(nearBits_.data() + b.row * words_, b.c0, b.c1, true);
  int64_t row = -1, touchedLow = words_, touchedHigh = -1;
  auto flush = [&] {
    if (touchedLow > touchedHigh) return;
    const uint64_t* near = nearBits_.data() + row * words_;
    for (int64_t w = touchedLow; w <= touchedHigh; ++w) {
      const uint64_t word = scratch_[static_cast<std::size_t>(w)] & ~near[w];
      scratch_[static_cast<std::size_t>(w)] = 0;
      if (word != 0) use(row, w, word);
    }
    touchedLow = words_, touchedHigh = -1;
  };
  ForPaintedCells(evenOdd, [&](int64_t r, int64_t c0, int64_t c1) {
    if (r != row) flush(), row = r;
    SetRange(scratch_.data(), c0, c1, true);
    touchedLow = std::min(touchedLow, c0 >> 6), touchedHigh = std::max(touchedHigh, c1 >> 6);
    return true;
  });
  flush();
  for (const Band& b : near_) SetRange(nearBits_.data() + b.row * words_, b.c0, b.c1, false);
}

template <typename Paint>
bool CoverageBitmap::ForPaintedCells(bool evenOdd, Paint paint) const {
  const Crossing* crossings = crossings_.data();
  const std::size_t count = crossings_.size();
  for (std::size_t i = 0; i < count;) {
    const int64_t row = crossings[i].row;
    std::size_t end = i;
    while (end < count && crossings[end].row == row) ++end;
    int winding = 0;
    for (std::size_t j = i + 1; j < end; ++j) {
      const Crossing &left = crossings[j - 1], &right = crossings[j];
      winding += left.direction;
      if (evenOdd ? (winding & 1) == 0 : winding == 0) continue;
      const int64_t c0 =
          std::max<int64_t>(0, static_cast<int64_t>(std::ceil((left.x - lowH_) / cell_ - 0.5)));
      const int64_t c1 =
          std::min<int64_t>(cols_ - 1, static_cast<int64_t>(std::floor((right.x - lowH_) / cell_ - 0.5)));
      if (c0 <= c1 && !paint(row, c0, c1)) return false;
    }
    i = end;
  }
  return true;
}

bool CoverageBitmap::Covers(const std::vector<Vec2>& hull) {
  double lowV = 1e300, highV = -1e300;
  for (const Vec2& p : hull) lowV = std::min(lowV, p.v), highV = std::max(highV, p.v);
  const int64_t r0 = Row(lowV), r1 = Row(highV);
  constexpr int kTopShift = (kLevels - 1) * kBlockShift;
  const int64_t b0 = r0 >> kTopShift, b1 = r1 >> kTopShift;
  const double bandSide = cell_ * static_cast<double>(int64_t{1} << kTopShift);
  bandLow_.assign(static_cast<std::size_t>(b1 - b0 + 1), 1e300);
  bandHigh_.assign(static_cast<std::size_t>(b1 - b0 + 1), -1e300);
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const Vec2& a = hull[i];
    const Vec2& b = hull[(i + 1) % hull.size()];
    const int64_t from = std::max(b0, Row(std::min(a.v, b.v)) >> kTopShift);
    const int64_t to = std::min(b1, Row(std::max(a.v, b.v)) >> kTopShift);
    for (int64_t band = from; band <= to; ++band) {
      double lo, hi;
      const double v0 = lowV_ + static_cast<double>(band) * bandSide;
      if (!ClipToBand(a, b, v0, v0 + bandSide, &lo, &hi)) continue;
      const std::size_t at = static_cast<std::size_t>(band - b0);
      bandLow_[at] = std::min(bandLow_[at], lo);
      bandHigh_[at] = std::max(bandHigh_[at], hi);
    }
  }
  for (int64_t band = b0; band <= b1; ++band) {
    const std::size_t at = static_cast<std::size_t>(band - b0);
    if (bandLow_[at] > bandHigh_[at]) continue;
    const Level& level = levels_[kLevels - 1];
    if (AllSet(level.bits.data() + band * level.words, Col(bandLow_[at]) >> kTopShift,
               Col(bandHigh_[at]) >> kTopShift))
      continue;
    if (!CoversRows(hull, kLevels - 2, band << kBlockShift, r0, r1)) return false;
  }
  return true;
}

void CoverageBitmap::Trace(const std::vector<const ArtObject*>& contours) {
  crossings_.clear();
  chords_.clear();
  for (const ArtObject* path : contours) {
    for (int k = 0; k < PieceCount(*path); ++k) AddPiece(PieceOf(*path, k), 0);
  }
  SortCrossings();
}

bool CoverageBitmap::Inside(bool evenOdd, double margin) {
  return Container(evenOdd, margin, [&](int64_t row, int64_t c0, int64_t c1) {
    return AllSet(levels_[0].bits.data() + row * words_, c0, c1);
  });
}

bool CoverageBitmap::InsideOthers(bool evenOdd, double margin) {
  own_.clear();
  ForInsideWords(evenOdd, margin, [&](int64_t row, int64_t w, uint64_t word) {
    const std::size_t at = static_cast<std::size_t>(row * words_ + w);
    own_.emplace_back(at, word);
    ownBits_[at] = word;
  });
  const bool inside = Container(evenOdd, margin, [&](int64_t row, int64_t c0, int64_t c1) {
    const uint32_t* counts = counts_.data() + row * words_ * 64;
    const uint64_t* own = ownBits_.data() + row * words_;
    for (int64_t c = c0; c <= c1; ++c) {
      if (counts[c] <= ((own[c >> 6] >> (c & 63)) & 1)) return false;
    }
    return true;
  });
  for (const auto& [at, word] : own_) {
    ownBits_[at] = 0;
    if (!inside) continue;
    uint32_t* counts = counts_.data() + at * 64;
    for (uint64_t bits = word; bits != 0; bits &= bits - 1) --counts[__builtin_ctzll(bits)];
  }
  return inside;
}

void CoverageBitmap::Count(bool evenOdd, double margin) {
  if (counts_.empty()) {
    counts_.assign(levels_[0].bits.size() * 64, 0);
    ownBits_.assign(levels_[0].bits.size(), 0);
  }
  ForInsideWords(evenOdd, margin, [&](int64_t row, int64_t w, uint64_t word) {
    uint32_t* counts = counts_.data() + (row * words_ + w) * 64;
    if (word == ~uint64_t{0}) {
      for (int b = 0; b < 64; ++b) ++counts[b];
      return;
    }
    for (; word != 0; word &= word - 1) ++counts[__builtin_ctzll(word)];
  });
}

void CoverageBitmap::MarkInside(bool evenOdd, double margin) {
  int64_t row = -1, low = words_, high = -1;
  ForInsideWords(evenOdd, margin, [&](int64_t r, int64_t w, uint64_t word) {
    if (r != row) {
      if (low <= high) UpdateBlocks(row, low, high);
      row = r, low = words_, high = -1;
    }
    levels_[0].bits[static_cast<std::size_t>(r * words_ + w)] |= word;
    low = std::min(low, w), high = std::max(high, w);
  });
  if (low <= high) UpdateBlocks(row, low, high);
}

int64_t CoverageBitmap::Row(double v) const {
  return std::clamp<int64_t>(static_cast<int64_t>(std::floor((v - lowV_) / cell_)), 0, rows_ - 1);
}

int64_t CoverageBitmap::Col(double h) const {
  return std::clamp<int64_t>(static_cast<int64_t>(std::floor((h - lowH_) / cell_)), 0, cols_ - 1);
}

bool CoverageBitmap::ClipToBand(const Vec2& a, const Vec2& b, double lo, double hi, double* low,
                                double* high) {
  const double va = a.v, vb = b.v;
  if (std::max(va, vb) < lo || std::min(va, vb) > hi) return false;
  if (va == vb) {
    *low = std::min(a.h, b.h), *high = std::max(a.h, b.h);
    return true;
  }
  const double t0 = std::clamp((lo - va) / (vb - va), 0.0, 1.0),
               t1 = std::clamp((hi - va) / (vb - va), 0.0, 1.0);
  const double h0 = a.h + t0 * (b.h - a.h), h1 = a.h + t1 * (b.h - a.h);
  *low = std::min(h0, h1), *high = std::max(h0, h1);
  return true;
}

uint64_t CoverageBitmap::WordMask(int64_t w, int64_t c0, int64_t c1) {
  uint64_t mask = ~uint64_t{0};
  if (w == c0 >> 6) mask &= ~uint64_t{0} << (c0 & 63);
  if (w == c1 >> 6) mask &= ~uint64_t{0} >> (63 - (c1 & 63));
  return mask;
}

bool CoverageBitmap::AllSet(const uint64_t* row, int64_t c0, int64_t c1) {
  for (int64_t w = c0 >> 6; w <= c1 >> 6; ++w) {
    const uint64_t mask = WordMask(w, c0, c1);
    if ((row[w] & mask) != mask) return false;
  }
  return true;
}

void CoverageBitmap::SetRange(uint64_t* row, int64_t c0, int64_t c1, bool on) {
  for (int64_t w = c0 >> 6; w <= c1 >> 6; ++w) {
    const uint64_t mask = WordMask(w, c0, c1);
    row[w] = on ? row[w] | mask : row[w] & ~mask;
  }
}

bool CoverageBitmap::CoversRows(const std::vector<Vec2>& hull, int level, int64_t first, int64_t r0,
                                int64_t r1) const {
  const int shift = level * kBlockShift;
  const double side = cell_ * static_cast<double>(int64_t{1} << shift);
  for (int64_t band = std::max(first, r0 >> shift), last = std::min(first + kBlock - 1, r1 >> shift);
       band <= last; ++band) {
    double lo = 1e300, hi = -1e300;
    const double v0 = lowV_ + static_cast<double>(band) * side;
    for (std::size_t i = 0; i < hull.size(); ++i) {
      double l, h;
      if (ClipToBand(hull[i], hull[(i + 1) % hull.size()], v0, v0 + side, &l, &h))
        lo = std::min(lo, l), hi = std::max(hi, h);
    }
    if (lo > hi) continue;
    const Level& bits = levels_[static_cast<std::size_t>(level)];
    if (AllSet(bits.bits.data() + band * bits.words, Col(lo) >> shift, Col(hi) >> shift)) continue;
    if (level == 0 || !CoversRows(hull, level - 1, band << kBlockShift, r0, r1)) return false;
  }
  return true;
}

void CoverageBitmap::UpdateBlocks(int64_t row, int64_t w0, int64_t w1) {
  for (std::size_t level = 1; level < kLevels; ++level) {
    const Level& below = levels_[level - 1];
    Level& above = levels_[level];
    row >>= kBlockShift;
    const uint64_t* first = below.bits.data() + (row << kBlockShift) * below.words;
    uint64_t* blocks = above.bits.data() + row * above.words;
    for (int64_t w = w0; w <= w1; ++w) {
      uint64_t all = ~uint64_t{0};
      for (int64_t r = 0; r < kBlock; ++r) all &= first[r * below.words + w];
      for (int64_t byte = 0; byte < 64 / kBlock; ++byte) {
        if (((all >> (byte * kBlock)) & 0xff) != 0xff) continue;
        const int64_t block = w * (64 / kBlock) + byte;
        blocks[block >> 6] |= uint64_t{1} << (block & 63);
      }
    }
    w0 = (w0 * (64 / kBlock)) >> 6, w1 = (w1 * (64 / kBlock) + 64 / kBlock - 1) >> 6;
  }
}

void CoverageBitmap::AddPiece(const CubicPiece& c, int depth) {
  const double off = std::sqrt(
      std::max(SquaredDistanceToSegment(c.p1, c.p0, c.p3), SquaredDistanceToSegment(c.p2, c.p0, c.p3)));
  if (depth < kMaxDepth && off > cell_ / 4) {
    const Vec2 a{(c.p0.h + c.p1.h) / 2, (c.p0.v + c.p1.v) / 2},
        b{(c.p1.h + c.p2.h) / 2, (c.p1.v + c.p2.v) / 2}, d{(c.p2.h + c.p3.h) / 2, (c.p2.v + c.p3.v) / 2};
    const Vec2 ab{(a.h + b.h) / 2, (a.v + b.v) / 2}, bd{(b.h + d.h) / 2, (b.v + d.v) / 2};
    const Vec2 m{(ab.h + bd.h) / 2, (ab.v + bd.v) / 2};
    AddPiece(CubicPiece{c.p0, a, ab, m}, depth + 1);
    AddPiece(CubicPiece{m, bd, d, c.p3}, depth + 1);
    return;
  }
  const Vec2 &from = c.p0, &to = c.p3;
  chords_.push_back(Chord{from, to, off});
  const double low = std::min(from.v, to.v), high = std::max(from.v, to.v);
  if (from.v == to.v) return;
  // Rows whose centre line v satisfies low <= v < high: the same test for
  // every chord, so that a closed ring crosses each line an even number
  // of times.
  for (int64_t r = std::max<int64_t>(0, static_cast<int64_t>(std::floor((low - lowV_) / cell_ - 0.5)));
       r < rows_; ++r) {
    const double v = lowV_ + (static_cast<double>(r) + 0.5) * cell_;
    if (v >= high) break;
    if (v < low) continue;
    crossings_.push_back(
        Crossing{r, from.h + (v - from.v) * (to.h - from.h) / (to.v - from.v), to.v > from.v ? 1 : -1});
  }
}

void CoverageBitmap::SortCrossings() {
  if (crossings_.empty()) return;
  int64_t first = crossings_.front().row, last = first;
  for (const Crossing& c : crossings_) first = std::min(first, c.row), last = std::max(last, c.row);
  rowStart_.assign(static_cast<std::size_t>(last - first + 2), 0);
  for (const Crossing& c : crossings_) ++rowStart_[static_cast<std::size_t>(c.row - first + 1)];
  for (std::size_t i = 1; i < rowStart_.size(); ++i) rowStart_[i] += rowStart_[i - 1];
  sorted_.resize(crossings_.size());
  for (const Crossing& c : crossings_) sorted_[rowStart_[static_cast<std::size_t>(c.row - first)]++] = c;
  for (std::size_t i = 0; i < sorted_.size();) {
    std::size_t end = i;
    while (end < sorted_.size() && sorted_[end].row == sorted_[i].row) ++end;
    std::sort(sorted_.begin() + static_cast<std::ptrdiff_t>(i),
              sorted_.begin() + static_cast<std::ptrdiff_t>(end),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    i = end;
  }
  crossings_.swap(sorted_);
}

}  // namespace standin
