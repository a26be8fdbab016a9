#include "standin/unite/shape_cull.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "standin/art/art_object.h"
#include "standin/unite/bezier.h"
#include "standin/unite/source_contours.h"

namespace standin {

namespace {

// Why leaving an object out cannot change the union.
//
// The drawing's box is cut into square cells. A cell is marked covered only
// when, whole and closed, it lies in the painted area of one kept object and
// farther than `margin` from that object's curves: each curve piece is
// halved until its control points' box is at most a cell wide, and a cell
// that no such box (grown by the margin) touches is farther than the margin
// from every curve (a cubic lies in its control points' hull, so in that
// box). Such a cell does not meet the object's boundary, so the winding
// number is the same all over it; it is taken at the cell's centre from the
// chords of the halved pieces, which gives the curves' own winding number
// there, since the centre lies outside every box and so outside the region
// between each piece and its chord. The object's fill rule then says
// whether that winding paints.
//
// An object is left out only when every cell its control points' convex
// hull touches is covered. Its painted area lies in that hull, so in the
// union of the kept objects, and adds nothing. Its flattening (whose points
// are curve points and hull corners of its own pieces, up to the grid's
// rounding) lies in the same cells; the kept objects' flattenings depart
// from their curves by less than the margin, so they still paint every
// covered cell and the flattened union is the same too, with the left-out
// flattening's edges more than a few grid steps inside it, where the
// tracing back of the result's vertices never looks.

// Halving stops at this depth whatever the box (a piece of coordinates up to
// 1e6 is then below 1e-3 units).
constexpr int kMaxDepth = 30;
// Coverage is kept in cells and in blocks of kBlock x kBlock cells, and
// blocks of those (a bit set when every cell in the block is covered), so
// that a long shape over covered ground is checked a row of large blocks at
// a time.
constexpr int kBlockShift = 3;
constexpr int64_t kBlock = int64_t{1} << kBlockShift;
constexpr std::size_t kLevels = 3;
// The most cells the coverage holds (2 MB of bits, 64 MB of counts for the
// second pass); the cells grow to stay below it.
constexpr double kMaxCells = double(int64_t{1} << 24);
// A cell's side, as a share of the typical shape's width.
constexpr double kCellsPerWidth = 32;
// Shapes whose hull fills at least this share of the square of their length
// (a circle pi/4, a square 1/2, a bridge between neighbours about 1/3) are
// compact.
constexpr double kCompact = 0.45;

double Cross(const Vec2& o, const Vec2& a, const Vec2& b) {
  return (a.h - o.h) * (b.v - o.v) - (a.v - o.v) * (b.h - o.h);
}

// The object's control points: every piece's start anchor and handles.
void ControlPoints(const ArtObject& art, std::vector<const ArtObject*>* contours, std::vector<Vec2>* points) {
  contours->clear();
  points->clear();
  ContoursOf(art, contours);
  for (const ArtObject* path : *contours) {
    for (int k = 0; k < PieceCount(*path); ++k) {
      const CubicPiece c = PieceOf(*path, k);
      points->push_back(c.p0);
      points->push_back(c.p1);
      points->push_back(c.p2);
    }
  }
}

// The convex hull, counter-clockwise (Andrew's monotone chain).
void ConvexHull(std::vector<Vec2>* points, std::vector<Vec2>* hull) {
  hull->clear();
  std::sort(points->begin(), points->end(),
            [](const Vec2& a, const Vec2& b) { return a.h < b.h || (a.h == b.h && a.v < b.v); });
  if (points->size() < 3) {
    *hull = *points;
    return;
  }
  hull->resize(2 * points->size());
  std::size_t n = 0;
  for (const Vec2& p : *points) {
    while (n >= 2 && Cross((*hull)[n - 2], (*hull)[n - 1], p) <= 0) --n;
    (*hull)[n++] = p;
  }
  for (std::size_t i = points->size() - 1, lower = n + 1; i-- > 0;) {
    const Vec2& p = (*points)[i];
    while (n >= lower && Cross((*hull)[n - 2], (*hull)[n - 1], p) <= 0) --n;
    (*hull)[n++] = p;
  }
  hull->resize(n - 1);
}

double HullArea(const std::vector<Vec2>& hull) {
  double twice = 0;
  for (std::size_t i = 0; i < hull.size(); ++i) {
    const Vec2& a = hull[i];
    const Vec2& b = hull[(i + 1) % hull.size()];
    twice += a.h * b.v - a.v * b.h;
  }
  return twice / 2;
}

// The hull's largest extent along four directions 45 degrees apart: within
// 8 % of its diameter.
double HullLength(const std::vector<Vec2>& hull) {
  double lo[4] = {1e300, 1e300, 1e300, 1e300}, hi[4] = {-1e300, -1e300, -1e300, -1e300};
  for (const Vec2& p : hull) {
    const double along[4] = {p.h, p.v, (p.h + p.v) * 0.7071067811865476, (p.h - p.v) * 0.7071067811865476};
    for (int d = 0; d < 4; ++d) lo[d] = std::min(lo[d], along[d]), hi[d] = std::max(hi[d], along[d]);
  }
  double length = 0;
  for (int d = 0; d < 4; ++d) length = std::max(length, hi[d] - lo[d]);
  return length;
}

double SquaredDistanceToSegment(const Vec2& p, const Vec2& a, const Vec2& b) {
  const double dh = b.h - a.h, dv = b.v - a.v;
  const double lengthSquared = dh * dh + dv * dv;
  double t = 0;
  if (lengthSquared > 0) t = std::clamp(((p.h - a.h) * dh + (p.v - a.v) * dv) / lengthSquared, 0.0, 1.0);
  const double eh = p.h - (a.h + t * dh), ev = p.v - (a.v + t * dv);
  return eh * eh + ev * ev;
}

struct Ranked {
  bool compact;
  double size;  // compact: area, larger first; elongated: length, shorter first
  std::size_t index;
};

class Coverage {
 public:
  Coverage(double lowH, double lowV, double highH, double highV, double cell)
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

  // Whether every cell the convex polygon touches is covered: a row of
  // top-level blocks at a time, down a level where a block is not full.
  bool Covers(const std::vector<Vec2>& hull) {
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

  // Cuts the object's curves into pieces that lie close to their chords,
  // for Inside and MarkInside.
  void Trace(const std::vector<const ArtObject*>& contours) {
    crossings_.clear();
    chords_.clear();
    for (const ArtObject* path : contours) {
      for (int k = 0; k < PieceCount(*path); ++k) AddPiece(PieceOf(*path, k), 0);
    }
    SortCrossings();
  }

  // Whether every cell within `margin` of the traced object's curves, and
  // every cell whose centre it paints, is covered: a closer look at an
  // object whose hull reaches uncovered cells (a bridge's hull spans its
  // waist, the bridge does not). The object's painted area lies in those
  // cells: a point farther than the margin from the curves lies outside
  // every piece's hull, so the chords' winding number there is the
  // curves', and the same over the cell around it when that cell meets no
  // piece's hull.
  bool Inside(bool evenOdd, double margin) {
    return Container(evenOdd, margin, [&](int64_t row, int64_t c0, int64_t c1) {
      return AllSet(levels_[0].bits.data() + row * words_, c0, c1);
    });
  }

  // The same against the counts, leaving out the traced object's own
  // inside: whether every such cell is inside some other object counted.
  // If so, takes the object's inside off the counts.
  bool InsideOthers(bool evenOdd, double margin) {
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

  // Counts the traced object in the cells MarkInside would mark for it.
  void Count(bool evenOdd, double margin) {
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

  // Marks the cells that lie, whole, in the traced object's painted area
  // and farther than `margin` from its curves.
  void MarkInside(bool evenOdd, double margin) {
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

 private:
  // Whether covered(row, c0, c1) holds for every run of cells within
  // `margin` of the traced curves and every run whose centres they paint.
  template <typename Covered>
  bool Container(bool evenOdd, double margin, Covered covered) {
    for (const Chord& c : chords_) {
      const double reach = c.off + margin;
      const double low = std::min(c.from.v, c.to.v), high = std::max(c.from.v, c.to.v);
      for (int64_t r = Row(low - reach), last = Row(high + reach); r <= last; ++r) {
        const double v0 = lowV_ + static_cast<double>(r) * cell_;
        double lo, hi;
        if (ClipToBand(c.from, c.to, v0 - reach, v0 + cell_ + reach, &lo, &hi) &&
            !covered(r, Col(lo - reach), Col(hi + reach)))
          return false;
      }
    }
    return ForPaintedCells(evenOdd, covered);
  }

  // Calls use(row, w, bits) with the cells of word w of each row that lie,
  // whole, in the traced object's painted area and farther than `margin`
  // from its curves (rows in increasing order, words too within a row).
  template <typename Use>
  void ForInsideWords(bool evenOdd, double margin, Use use) {
    near_.clear();
    for (const Chord& c : chords_) {
      // A point of row r within `reach` of the chord has a chord point within
      // reach of it both across and along the row.
      const double reach = c.off + margin;
      const double low = std::min(c.from.v, c.to.v), high = std::max(c.from.v, c.to.v);
      for (int64_t r = Row(low - reach), last = Row(high + reach); r <= last; ++r) {
        const double v0 = lowV_ + static_cast<double>(r) * cell_;
        double lo, hi;
        if (ClipToBand(c.from, c.to, v0 - reach, v0 + cell_ + reach, &lo, &hi))
          near_.push_back(Band{r, Col(lo - reach), Col(hi + reach)});
      }
    }
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

  // Calls paint(row, c0, c1) for the runs of cells, row by row, whose
  // centres the traced chords paint by the fill rule, until it returns
  // false; false then.
  template <typename Paint>
  bool ForPaintedCells(bool evenOdd, Paint paint) const {
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

  struct Chord {
    Vec2 from, to;
    double off;  // the piece lies within this distance of the chord
  };
  struct Crossing {
    int64_t row;
    double x;
    int direction;
  };
  struct Band {
    int64_t row, c0, c1;
  };

  int64_t Row(double v) const {
    return std::clamp<int64_t>(static_cast<int64_t>(std::floor((v - lowV_) / cell_)), 0, rows_ - 1);
  }
  int64_t Col(double h) const {
    return std::clamp<int64_t>(static_cast<int64_t>(std::floor((h - lowH_) / cell_)), 0, cols_ - 1);
  }

  // The h-range of segment ab within lo <= v <= hi; false when it misses.
  static bool ClipToBand(const Vec2& a, const Vec2& b, double lo, double hi, double* low, double* high) {
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

  // Whether bits c0..c1 of the row are all set.
  static bool AllSet(const uint64_t* row, int64_t c0, int64_t c1) {
    for (int64_t w = c0 >> 6; w <= c1 >> 6; ++w) {
      uint64_t mask = ~uint64_t{0};
      if (w == c0 >> 6) mask &= ~uint64_t{0} << (c0 & 63);
      if (w == c1 >> 6) mask &= ~uint64_t{0} >> (63 - (c1 & 63));
      if ((row[w] & mask) != mask) return false;
    }
    return true;
  }

  static void SetRange(uint64_t* row, int64_t c0, int64_t c1, bool on) {
    for (int64_t w = c0 >> 6; w <= c1 >> 6; ++w) {
      uint64_t mask = ~uint64_t{0};
      if (w == c0 >> 6) mask &= ~uint64_t{0} << (c0 & 63);
      if (w == c1 >> 6) mask &= ~uint64_t{0} >> (63 - (c1 & 63));
      row[w] = on ? row[w] | mask : row[w] & ~mask;
    }
  }

  // Whether the polygon's cells in the kBlock rows of level-`level` blocks
  // from `first` on (cell rows r0..r1 only) are covered.
  bool CoversRows(const std::vector<Vec2>& hull, int level, int64_t first, int64_t r0, int64_t r1) const {
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

  // After cell row `row` changed in words w0..w1: sets the bits of the
  // blocks above it, level by level, whose cells are now all covered.
  void UpdateBlocks(int64_t row, int64_t w0, int64_t w1) {
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

  // Halves the piece until its handles lie within a quarter of a cell of
  // its chord (the piece then lies within that distance of the chord, in its
  // control points' hull); keeps the chord and where it crosses the rows'
  // centre lines.
  void AddPiece(const CubicPiece& c, int depth) {
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

  // Sorts the crossings by row (counting them into rows) and along each
  // row.
  void SortCrossings() {
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

  double lowH_, lowV_, cell_;
  int64_t cols_, rows_, words_;
  // Level 0: one bit per cell, set when covered; level l + 1: one bit per
  // kBlock x kBlock bits of level l, set when all of them are.
  struct Level {
    int64_t words;  // per row
    std::vector<uint64_t> bits;
  };
  Level levels_[kLevels];
  std::vector<uint64_t> scratch_;
  // For the second pass: per cell, the kept objects whose inside holds it.
  std::vector<uint32_t> counts_;
  // The inside of the object InsideOthers looks at, and its words.
  std::vector<uint64_t> ownBits_;
  std::vector<std::pair<std::size_t, uint64_t>> own_;
  std::vector<double> bandLow_, bandHigh_;
  std::vector<Chord> chords_;
  std::vector<Crossing> crossings_, sorted_;
  std::vector<std::size_t> rowStart_;
  // The cells near the curves of the object being marked.
  std::vector<Band> near_;
  std::vector<uint64_t> nearBits_;
};

}  // namespace

std::vector<ArtObject*> ShapesNotCovered(const std::vector<ArtObject*>& objects, double margin) {
  std::vector<const ArtObject*> contours;
  std::vector<Vec2> points, hull;
  std::vector<Ranked> ranked;
  std::vector<double> widths;
  ranked.reserve(objects.size());
  double lowH = 1e300, lowV = 1e300, highH = -1e300, highV = -1e300;
  std::vector<bool> keep(objects.size(), false);
  for (std::size_t k = 0; k < objects.size(); ++k) {
    ControlPoints(*objects[k], &contours, &points);
    ConvexHull(&points, &hull);
    // Shapes with no area to speak of stay: they cost nothing.
    const double area = HullArea(hull), length = HullLength(hull);
    if (hull.size() < 3 || !(area > 0) || !(length > 0)) {
      keep[k] = true;
      continue;
    }
    for (const Vec2& p : hull) {
      lowH = std::min(lowH, p.h), highH = std::max(highH, p.h);
      lowV = std::min(lowV, p.v), highV = std::max(highV, p.v);
    }
    const bool compact = area >= kCompact * length * length;
    ranked.push_back(Ranked{compact, compact ? area : length, k});
    widths.push_back(area / length);
  }
  if (ranked.size() > 1) {
    std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2),
                     widths.end());
    const double width = widths[widths.size() / 2];
    const double cell = std::max(width / kCellsPerWidth,
                                 std::sqrt((highH - lowH + width) * (highV - lowV + width) / kMaxCells));
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
      if (a.compact != b.compact) return a.compact;
      if (a.size != b.size) return a.compact ? a.size > b.size : a.size < b.size;
      return a.index < b.index;
    });
    Coverage coverage(lowH, lowV, highH, highV, cell);
    std::vector<const Ranked*> keptRanked;
    for (const Ranked& r : ranked) {
      const ArtObject& art = *objects[r.index];
      ControlPoints(art, &contours, &points);
      ConvexHull(&points, &hull);
      if (coverage.Covers(hull)) continue;
      coverage.Trace(contours);
      const bool evenOdd = art.style->evenOddFill != 0;
      if (coverage.Inside(evenOdd, margin)) continue;
      keep[r.index] = true;
      coverage.MarkInside(evenOdd, margin);
      keptRanked.push_back(&r);
    }
    // A second look at the kept objects, the last kept first: an object
    // kept early (before the shapes over it were in) is left out when its
    // cells lie inside the other objects still kept. The counts always hold
    // the insides of exactly the objects still kept, so every object left
    // out lies inside the ones kept at the end.
    for (const Ranked* r : keptRanked) {
      const ArtObject& art = *objects[r->index];
      ControlPoints(art, &contours, &points);
      coverage.Trace(contours);
      coverage.Count(art.style->evenOddFill != 0, margin);
    }
    for (auto r = keptRanked.rbegin(); r != keptRanked.rend(); ++r) {
      const ArtObject& art = *objects[(*r)->index];
      const bool evenOdd = art.style->evenOddFill != 0;
      ControlPoints(art, &contours, &points);
      coverage.Trace(contours);
      if (coverage.InsideOthers(evenOdd, margin)) keep[(*r)->index] = false;
    }
  } else {
    for (const Ranked& r : ranked) keep[r.index] = true;
  }
  std::vector<ArtObject*> kept;
  for (std::size_t k = 0; k < objects.size(); ++k) {
    if (keep[k]) kept.push_back(objects[k]);
  }
  return kept;
}

}  // namespace standin
