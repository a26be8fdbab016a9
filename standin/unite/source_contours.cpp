#include "standin/unite/source_contours.h"

#include <cmath>

#include "standin/art/art_object.h"

namespace standin {

namespace {

// No piece is halved more often than this; at any coordinate the unite
// admits, the tolerance is met long before.
constexpr int kMaxDepth = 40;

Vec2 ToVec(const HostPoint& p) { return Vec2{p.h, p.v}; }

double DistanceToChord(const Vec2& p, const Vec2& a, const Vec2& b) {
  const double dh = b.h - a.h, dv = b.v - a.v;
  const double lengthSquared = dh * dh + dv * dv;
  double t = 0;
  if (lengthSquared > 0)
    t = std::fmax(0.0, std::fmin(1.0, ((p.h - a.h) * dh + (p.v - a.v) * dv) / lengthSquared));
  return std::hypot(p.h - (a.h + t * dh), p.v - (a.v + t * dv));
}

// The curve lies inside the hull of its control points and the distance to
// the chord is convex, so no point of the curve is farther from the chord
// than the farther inner control point.
bool IsFlat(const CubicPiece& c, double tolerance) {
  return DistanceToChord(c.p1, c.p0, c.p3) <= tolerance && DistanceToChord(c.p2, c.p0, c.p3) <= tolerance;
}

struct Pending {
  CubicPiece piece;
  double t0, t1;
  int depth;
};

class RingFlattener {
 public:
  RingFlattener(double tolerance, double scale, std::vector<GridVertex>* out)
      : tolerance_(tolerance), scale_(scale), out_(out) {}

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
    while (!stack_.empty()) {
      const Pending p = stack_.back();
      stack_.pop_back();
      if (p.depth >= kMaxDepth || IsFlat(p.piece, tolerance_)) {
        Emit(p.piece.p0, k + p.t0);
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
  double tolerance_;
  double scale_;
  std::vector<GridVertex>* out_;
  std::vector<Pending> stack_;
};

}  // namespace

int PieceCount(const ArtObject& path) { return static_cast<int>(path.segments.size()); }

CubicPiece PieceOf(const ArtObject& path, int k) {
  const std::vector<PathSegment>& s = path.segments;
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
  RingFlattener flattener(tolerance, gridStepsPerUnit, out);
  const int n = PieceCount(path);
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
