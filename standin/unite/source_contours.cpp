#include "standin/unite/source_contours.h"

#include <algorithm>
#include <cmath>

#include "standin/art/art_object.h"

namespace standin {

namespace {

// No piece is halved more often than this; at any coordinate the unite
// admits, the tolerance is met long before.
constexpr int kMaxDepth = 40;

Vec2 ToVec(const HostPoint& p) { return Vec2{p.h, p.v}; }

double Cross(const Vec2& a, const Vec2& b) { return a.h * b.v - a.v * b.h; }

double SquaredDistanceToChord(const Vec2& p, const Vec2& a, const Vec2& b) {
  const double dh = b.h - a.h, dv = b.v - a.v;
  const double lengthSquared = dh * dh + dv * dv;
  double t = 0;
  if (lengthSquared > 0)
    t = std::fmax(0.0, std::fmin(1.0, ((p.h - a.h) * dh + (p.v - a.v) * dv) / lengthSquared));
  const double eh = p.h - (a.h + t * dh), ev = p.v - (a.v + t * dv);
  return eh * eh + ev * ev;
}

// The curve lies inside the hull of its control points and the distance to
// the chord is convex, so no point of the curve is farther from the chord
// than the farther inner control point.
bool IsFlat(const CubicPiece& c, double tolerance) {
  const double limit = tolerance * tolerance;
  return SquaredDistanceToChord(c.p1, c.p0, c.p3) <= limit &&
         SquaredDistanceToChord(c.p2, c.p0, c.p3) <= limit;
}

struct Pending {
  CubicPiece piece;
  double t0, t1;
  int depth;
};

class RingFlattener {
 public:
  // side: +1 when the ring's painted side is on the left of its direction
  // (positive area), -1 on the right, 0 when it has no area.
  RingFlattener(double tolerance, double scale, int side, std::vector<GridVertex>* out)
      : tolerance_(tolerance), scale_(scale), side_(side), out_(out) {}

  void Emit(const Vec2& p, double u) {
    const GridVertex g{std::llround(p.h * scale_), std::llround(p.v * scale_), u};
    if (!out_->empty() && out_->back().x == g.x && out_->back().y == g.y) return;
    out_->push_back(g);
  }

  void AddPiece(const CubicPiece& piece, int k) {
    if (IsStraight(piece)) {
      Emit(piece.p0, k);
      return;
    }
    stack_.clear();
    stack_.push_back(Pending{piece, 0.0, 1.0, 0});
    lastWasApex_ = false;
    while (!stack_.empty()) {
      const Pending p = stack_.back();
      stack_.pop_back();
      if (p.depth >= kMaxDepth || IsFlat(p.piece, tolerance_)) {
        EmitFlat(p, k);
        continue;
      }
      const double mid = (p.t0 + p.t1) / 2;
      const CubicPiece& c = p.piece;
      const Vec2 a{(c.p0.h + c.p1.h) / 2, (c.p0.v + c.p1.v) / 2},
          b{(c.p1.h + c.p2.h) / 2, (c.p1.v + c.p2.v) / 2}, d{(c.p2.h + c.p3.h) / 2, (c.p2.v + c.p3.v) / 2};
      const Vec2 ab{(a.h + b.h) / 2, (a.v + b.v) / 2}, bd{(b.h + d.h) / 2, (b.v + d.v) / 2};
      const Vec2 m{(ab.h + bd.h) / 2, (ab.v + bd.v) / 2};
      // The second half goes first onto the stack, so the first half is
      // emitted first.
      stack_.push_back(Pending{CubicPiece{m, bd, d, c.p3}, mid, p.t1, p.depth + 1});
      stack_.push_back(Pending{CubicPiece{c.p0, a, ab, m}, p.t0, mid, p.depth + 1});
    }
  }

 private:
  // A flat part contributes its start point; where the curve bulges towards
  // the painted side, the chord would lie outside the painted area (and
  // could close a thin gap between two shapes), so the part also
  // contributes the corners of its control points' hull on that side,
  // which the curve cannot pass: for a part without inflection the meeting
  // point of its end tangents, otherwise the control points that are hull
  // corners. The flattening so never paints more than the curve does, up to
  // the grid's rounding. Corners get the ring positions of their share of
  // the part, close to the curve points they stand for. Between two tangent
  // apexes the curve point is left out: it lies on the line joining them
  // (the tangent there), so the polygon is the same with fewer points.
  void EmitFlat(const Pending& p, int k) {
    const CubicPiece& c = p.piece;
    const bool apexBefore = lastWasApex_;
    lastWasApex_ = false;
    if (side_ == 0) {
      Emit(c.p0, k + p.t0);
      return;
    }
    const Vec2 chord = Minus(c.p3, c.p0);
    const double in1 = side_ * Cross(chord, Minus(c.p1, c.p0));
    const double in2 = side_ * Cross(chord, Minus(c.p2, c.p0));
    if (in1 <= 0 && in2 <= 0) {
      Emit(c.p0, k + p.t0);
      return;
    }
    const double span = p.t1 - p.t0;
    // Right turns when the painted side is on the left: a convex control
    // polygon bulging towards the painted side.
    const bool convex = in1 > 0 && in2 > 0 && side_ * Cross(Minus(c.p1, c.p0), Minus(c.p2, c.p1)) < 0 &&
                        side_ * Cross(Minus(c.p2, c.p1), Minus(c.p3, c.p2)) < 0;
    if (convex) {
      // p0 + a (p1 - p0) = p3 + b (p2 - p3), with a, b >= 1 on a convex
      // control polygon.
      const Vec2 e0 = Minus(c.p1, c.p0), e3 = Minus(c.p2, c.p3);
      const double det = Cross(e3, e0);
      if (det != 0) {
        const double a = Cross(e3, chord) / det;
        const Vec2 apex{c.p0.h + a * e0.h, c.p0.v + a * e0.v};
        if (std::isfinite(a) && a >= 1 && side_ * Cross(chord, Minus(apex, c.p0)) <= 2 * std::max(in1, in2)) {
          if (!apexBefore) Emit(c.p0, k + p.t0);
          Emit(apex, k + p.t0 + span / 2);
          lastWasApex_ = true;
          return;
        }
      }
    }
    // The hull's chain from p0 to p3 on the painted side.
    Emit(c.p0, k + p.t0);
    Vec2 chain[4] = {c.p0};
    double at[4] = {0};
    int n = 1;
    const Vec2 next[3] = {c.p1, c.p2, c.p3};
    for (int i = 0; i < 3; ++i) {
      while (n >= 2 && side_ * Cross(Minus(chain[n - 1], chain[n - 2]), Minus(next[i], chain[n - 2])) >= 0)
        --n;
      chain[n] = next[i];
      at[n] = (i + 1) / 3.0;
      ++n;
    }
    for (int i = 1; i + 1 < n; ++i) Emit(chain[i], k + p.t0 + span * at[i]);
  }

  double tolerance_;
  double scale_;
  int side_;
  bool lastWasApex_ = false;
  std::vector<GridVertex>* out_;
  std::vector<Pending> stack_;
};

}  // namespace

int PieceCount(const ArtObject& path) { return static_cast<int>(path.segments.size()); }

CubicPiece PieceOf(const ArtObject& path, int k) {
  const standin::SegmentList& s = path.segments;
  const std::size_t n = s.size();
  const PathSegment& from = s[static_cast<std::size_t>(k)];
  const PathSegment& to = s[(static_cast<std::size_t>(k) + 1) % n];
  if (!path.closed && static_cast<std::size_t>(k) + 1 == n) {
    return CubicPiece{ToVec(from.p), ToVec(from.p), ToVec(to.p), ToVec(to.p)};
  }
  return CubicPiece{ToVec(from.p), ToVec(from.out), ToVec(to.in), ToVec(to.p)};
}

bool IsCornerAnchor(const ArtObject& path, int k) {
  const int n = PieceCount(path);
  if (!path.closed && (k == 0 || k == n - 1)) return true;
  return path.segments[static_cast<std::size_t>(k)].corner != 0;
}

void FlattenRing(const ArtObject& path, double tolerance, double gridStepsPerUnit,
                 std::vector<GridVertex>* out) {
  out->clear();
  const int n = PieceCount(path);
  double twiceArea = 0;
  for (int k = 0; k < n; ++k) twiceArea += TwiceSweptArea(PieceOf(path, k));
  const int side = twiceArea > 0 ? 1 : (twiceArea < 0 ? -1 : 0);
  RingFlattener flattener(tolerance, gridStepsPerUnit, side, out);
  for (int k = 0; k < n; ++k) flattener.AddPiece(PieceOf(path, k), k);
  while (out->size() > 1 && out->back().x == out->front().x && out->back().y == out->front().y)
    out->pop_back();
}

void ContoursOf(const ArtObject& art, std::vector<const ArtObject*>* contours) {
  if (art.type == kArtTypePath) {
    contours->push_back(&art);
    return;
  }
  if (art.type != kArtTypeCompoundPath) return;
  for (const ArtObject* child : art.children) {
    if (child->type == kArtTypePath) contours->push_back(child);
  }
}

}  // namespace standin
