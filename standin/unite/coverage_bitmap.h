// The coverage bitmap the culling of a unite's objects checks them against:
// square cells over the drawing's box, a bit per cell set when the cell lies,
// whole, inside an object kept and farther than a margin from its curves, and
// blocks of cells above them so that a long shape over covered ground is
// checked a row of large blocks at a time. It reads an object's curves
// (Trace) and answers whether its hull or its cells are covered; it keeps no
// object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "standin/unite/bezier.h"

struct ArtObject;

namespace standin {

class CoverageBitmap {
 public:
  // Coverage is kept in cells and in blocks of kBlock x kBlock cells, and
  // blocks of those (a bit set when every cell in the block is covered).
  static constexpr int kBlockShift = 3;
  static constexpr int64_t kBlock = int64_t{1} << kBlockShift;
  static constexpr std::size_t kLevels = 3;

  // A bitmap over the box from (lowH, lowV) to (highH, highV), with a cell
  // more on every side, in square cells of side `cell`; nothing covered.
  CoverageBitmap(double lowH, double lowV, double highH, double highV, double cell);

  // Whether every cell the convex polygon touches is covered: a row of
  // top-level blocks at a time, down a level where a block is not full.
  bool Covers(const std::vector<Vec2>& hull);

  // Cuts the object's curves into pieces that lie close to their chords,
  // for Inside and MarkInside.
  void Trace(const std::vector<const ArtObject*>& contours);

  // Whether every cell within `margin` of the traced object's curves, and
  // every cell whose centre it paints, is covered: a closer look at an
  // object whose hull reaches uncovered cells (a bridge's hull spans its
  // waist, the bridge does not). The object's painted area lies in those
  // cells: a point farther than the margin from the curves lies outside
  // every piece's hull, so the chords' winding number there is the
  // curves', and the same over the cell around it when that cell meets no
  // piece's hull.
  bool Inside(bool evenOdd, double margin);

  // The same against the counts, leaving out the traced object's own
  // inside: whether every such cell is inside some other object counted.
  // If so, takes the object's inside off the counts.
  bool InsideOthers(bool evenOdd, double margin);

  // Counts the traced object in the cells MarkInside would mark for it.
  void Count(bool evenOdd, double margin);

  // Marks the cells that lie, whole, in the traced object's painted area
  // and farther than `margin` from its curves.
  void MarkInside(bool evenOdd, double margin);

 private:
  // Whether covered(row, c0, c1) holds for every run of cells within
  // `margin` of the traced curves and every run whose centres they paint.
  template <typename Covered>
  bool Container(bool evenOdd, double margin, Covered covered);

  // Calls near(row, c0, c1) for the runs of cells, row by row, within
  // `margin` of the traced chords (and so of the curves), until it returns
  // false; false then.
  template <typename Near>
  bool ForNearRuns(double margin, Near near) const;

  // Calls use(row, w, bits) with the cells of word w of each row that lie,
  // whole, in the traced object's painted area and farther than `margin`
  // from its curves (rows in increasing order, words too within a row).
  template <typename Use>
  void ForInsideWords(bool evenOdd, double margin, Use use);

  // Calls paint(row, c0, c1) for the runs of cells, row by row, whose
  // centres the traced chords paint by the fill rule, until it returns
  // false; false then.
  template <typename Paint>
  bool ForPaintedCells(bool evenOdd, Paint paint) const;

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

  int64_t Row(double v) const;
  int64_t Col(double h) const;

  // The h-range of segment ab within lo <= v <= hi; false when it misses.
  static bool ClipToBand(const Vec2& a, const Vec2& b, double lo, double hi, double* low, double* high);

  // The bits of word w that lie in c0..c1.
  static uint64_t WordMask(int64_t w, int64_t c0, int64_t c1);

  // Whether bits c0..c1 of the row are all set.
  static bool AllSet(const uint64_t* row, int64_t c0, int64_t c1);

  static void SetRange(uint64_t* row, int64_t c0, int64_t c1, bool on);

  // Whether the polygon's cells in the kBlock rows of level-`level` blocks
  // from `first` on (cell rows r0..r1 only) are covered.
  bool CoversRows(const std::vector<Vec2>& hull, int level, int64_t first, int64_t r0, int64_t r1) const;

  // After cell row `row` changed in words w0..w1: sets the bits of the
  // blocks above it, level by level, whose cells are now all covered.
  void UpdateBlocks(int64_t row, int64_t w0, int64_t w1);

  // Halves the piece until its handles lie within a quarter of a cell of
  // its chord (the piece then lies within that distance of the chord, in its
  // control points' hull); keeps the chord and where it crosses the rows'
  // centre lines.
  void AddPiece(const CubicPiece& c, int depth);

  // Sorts the crossings by row (counting them into rows) and along each
  // row.
  void SortCrossings();

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

}  // namespace standin
