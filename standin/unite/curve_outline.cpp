#include "standin/unite/curve_outline.h"

#include <algorithm>
#include <cmath>

#include "standin/art/art_object.h"
#include "standin/unite/bezier.h"
#include "standin/unite/source_contours.h"

namespace standin {

namespace {

// The farthest, in flattening tolerances, that a crossing of two curves may
// lie from where their flattenings cross (see Cut below).
constexpr double kMaxSlide = 30;

// A source contour addressed by unwrapped ring positions: u and u + n are
// the same point, so a run that passes the contour's start keeps counting.
struct Ring {
  const ArtObject* path;
  int n;

  CubicPiece Piece(double u, double* t) const {
    const double k = std::floor(u);
    *t = u - k;
    const long long m = static_cast<long long>(k) % n;
    return PieceOf(*path, static_cast<int>(m < 0 ? m + n : m));
  }
  Vec2 At(double u) const {
    double t;
    const CubicPiece c = Piece(u, &t);
    return PointAt(c, t);
  }
  Vec2 Tangent(double u) const {
    double t;
    const CubicPiece c = Piece(u, &t);
    return TangentAt(c, t);
  }
};

// A stretch of result vertices that follow one source contour.
struct Run {
  uint32_t contour;
  int dir;    // +1 along the ring, -1 against it, 0 not known yet
  int first;  // first and last vertex (positions in the walk)
  int last;
  uint32_t lastIndex;  // flattening index of the last vertex
  double firstU;       // unwrapped ring positions of the first and last vertex
  double lastU;
  double offset;  // added to ring positions to unwrap them
};

// Where one run ends and the next begins: the end position on the first
// run's ring, the start position on the second's, and the points between
// (one shared crossing, or a straight stretch through several).
struct Cut {
  double endA;
  double startB;
  std::vector<Vec2> points;
};

struct Edge {
  CubicPiece piece;
  bool cornerAtStart;
};

class ContourRebuilder {
 public:
  ContourRebuilder(const ClipperLib::Path& contour, const SourceTable& sources, const ProvenanceIndex& index,
                   const RebuildSettings& settings)
      : sources_(sources), settings_(settings) {
    const VertexSources vertices = FindVertexSources(contour, index);
    SplitAtCrossings(contour, vertices, EdgeSources(vertices));
  }

  // Whether the contour Build made is made of one source's pieces only,
  // not the whole of it: a stretch of that source folded onto itself.
  bool Folded() const { return folded_; }

  std::vector<Edge> Build() {
    const int m = static_cast<int>(path_.size());
    if (m < 3) return {};
    FindRuns(0);
    if (runs_.empty()) return Polygon();
    JoinRunAcrossStart();
    if (runs_.size() == 1 && IsWholeRing(runs_[0])) return WholeRing(runs_[0]);
    folded_ = std::all_of(runs_.begin(), runs_.end(),
                          [&](const Run& r) { return r.contour == runs_.front().contour; });
    if (runs_.size() == 1) return Polygon();
    MakeCuts();
    DropInvertedRuns();
    if (runs_.size() < 2) return Polygon();
    return Emit();
  }

 private:
  int Size() const { return static_cast<int>(path_.size()); }
  // Positions in the walk run from start_ to start_ + m - 1.
  int At(int position) const { return (position % Size() + Size()) % Size(); }
  Vec2 VertexPoint(int position) const {
    const ClipperLib::IntPoint& p = path_[static_cast<std::size_t>(At(position))];
    return Vec2{static_cast<double>(p.X) / settings_.gridStepsPerUnit,
                static_cast<double>(p.Y) / settings_.gridStepsPerUnit};
  }
  const Provenance* Begin(int position) const {
    return found_.data() + offsets_[static_cast<std::size_t>(At(position))];
  }
  const Provenance* End(int position) const {
    return found_.data() + offsets_[static_cast<std::size_t>(At(position)) + 1];
  }
  Ring RingOf(uint32_t contour) const {
    const ArtObject* p = sources_.contours[contour];
    return Ring{p, PieceCount(*p)};
  }

  static constexpr uint32_t kAmbiguous = 0xfffffffeu;
  static constexpr uint32_t kNoSource = 0xffffffffu;

  // The source points at each vertex of the walk: those of vertex i are
  // all[offsets[i]] up to all[offsets[i + 1]].
  struct VertexSources {
    std::vector<uint32_t> offsets;
    std::vector<Provenance> all;
  };
  static VertexSources FindVertexSources(const ClipperLib::Path& contour, const ProvenanceIndex& index) {
    VertexSources vertices;
    std::vector<Provenance> found;
    vertices.offsets.reserve(contour.size() + 1);
    for (const ClipperLib::IntPoint& p : contour) {
      vertices.offsets.push_back(static_cast<uint32_t>(vertices.all.size()));
      index.Find(p.X, p.Y, &found);
      vertices.all.insert(vertices.all.end(), found.begin(), found.end());
    }
    vertices.offsets.push_back(static_cast<uint32_t>(vertices.all.size()));
    return vertices;
  }

  // The source of each edge of the walk: the one contour both its ends lie
  // on, next to each other on it (kNoSource when none or several).
  std::vector<uint32_t> EdgeSources(const VertexSources& vertices) const {
    const std::vector<uint32_t>& offsets = vertices.offsets;
    const std::vector<Provenance>& all = vertices.all;
    const std::size_t m = offsets.size() - 1;
    std::vector<uint32_t> edgeSource(m, kNoSource);
    for (std::size_t i = 0; i < m; ++i) {
      const std::size_t j = (i + 1) % m;
      for (uint32_t a = offsets[i]; a < offsets[i + 1] && edgeSource[i] != kAmbiguous; ++a) {
        for (uint32_t b = offsets[j]; b < offsets[j + 1]; ++b) {
          if (!Adjacent(all[a], all[b])) continue;
          if (edgeSource[i] == kNoSource) {
            edgeSource[i] = all[a].contour;
          } else if (edgeSource[i] != all[a].contour) {
            edgeSource[i] = kAmbiguous;
            break;
          }
        }
      }
    }
    return edgeSource;
  }

  // The walk the runs are found on (path_, offsets_, found_). A vertex where
  // the walk leaves one source's edge for another's (a crossing of the two)
  // stands twice: once as the end of the first run, with only that source's
  // point, once as the start of the next.
  void SplitAtCrossings(const ClipperLib::Path& contour, const VertexSources& vertices,
                        const std::vector<uint32_t>& edgeSource) {
    const std::vector<uint32_t>& offsets = vertices.offsets;
    const std::vector<Provenance>& all = vertices.all;
    const std::size_t m = contour.size();
    path_.reserve(m);
    offsets_.reserve(m + 1);
    auto push = [&](std::size_t i, uint32_t only) {
      path_.push_back(contour[i]);
      offsets_.push_back(static_cast<uint32_t>(found_.size()));
      for (uint32_t a = offsets[i]; a < offsets[i + 1]; ++a) {
        if (only == kNoSource || all[a].contour == only) found_.push_back(all[a]);
      }
    };
    for (std::size_t i = 0; i < m; ++i) {
      const uint32_t in = edgeSource[(i + m - 1) % m], out = edgeSource[i];
      if (in < kAmbiguous && out < kAmbiguous && in != out) {
        push(i, in);
        push(i, out);
      } else {
        push(i, kNoSource);
      }
    }
    offsets_.push_back(static_cast<uint32_t>(found_.size()));
  }

  // A run that continues across the walk's start is begun again there, so
  // that it is one run, not its end and its beginning.
  void JoinRunAcrossStart() {
    if (runs_.size() > 1 && runs_.front().first == 0 && runs_.back().last == Size() - 1) {
      Run probe = runs_.back();
      if (Extend(&probe, 0)) {
        const int start = runs_.back().first;
        runs_.clear();
        FindRuns(start);
      }
    }
  }

  // Where each run ends and the next begins.
  void MakeCuts() {
    cuts_.resize(runs_.size());
    for (std::size_t i = 0; i < runs_.size(); ++i) cuts_[i] = MakeCut(i);
  }

  // How far apart two points of one source contour's flattening lie, in
  // flattened points each way round, and the farthest two points that are
  // still neighbours may be: a quarter of the flattening (the union drops
  // points that continue a straight edge).
  struct Steps {
    uint32_t forward, backward, maxJump;
  };
  Steps StepsBetween(uint32_t contour, uint32_t from, uint32_t to) const {
    const uint32_t n = sources_.flatCounts[contour];
    const uint32_t forward = (to + n - from) % n;
    return Steps{forward, (n - forward) % n, std::max<uint32_t>(1, n / 4)};
  }

  // Whether two source points are neighbours on one source contour, or on
  // one flattened edge (the same index).
  bool Adjacent(const Provenance& a, const Provenance& b) const {
    if (a.contour != b.contour) return false;
    const Steps steps = StepsBetween(a.contour, a.index, b.index);
    return steps.forward <= steps.maxJump || steps.backward <= steps.maxJump;
  }

  // Whether the vertex at `position` continues the run; if so the run is
  // extended to it.
  bool Extend(Run* run, int position) const {
    const double pieces = PieceCount(*sources_.contours[run->contour]);
    for (const Provenance* c = Begin(position); c != End(position); ++c) {
      if (c->contour != run->contour) continue;
      const auto [forward, backward, maxJump] = StepsBetween(run->contour, run->lastIndex, c->index);
      // Points on one flattened edge (the crossings on it, and its start)
      // share its index and follow each other by ring position.
      const double lastRaw = run->lastU - run->offset;
      int dir = 0;
      if (run->dir >= 0 && ((forward >= 1 && forward <= maxJump) || (forward == 0 && c->u > lastRaw))) {
        dir = 1;
      } else if (run->dir <= 0 &&
                 ((backward >= 1 && backward <= maxJump) || (backward == 0 && c->u < lastRaw))) {
        dir = -1;
      }
      if (dir == 0) continue;
      if (dir > 0 && c->index < run->lastIndex) run->offset += pieces;
      if (dir < 0 && c->index > run->lastIndex) run->offset -= pieces;
      run->dir = dir;
      run->last = position;
      run->lastIndex = c->index;
      run->lastU = c->u + run->offset;
      return true;
    }
    return false;
  }

  void FindRuns(int start) {
    for (int position = start; position < start + Size(); ++position) {
      if (!runs_.empty() && runs_.back().last == position - 1 && Extend(&runs_.back(), position)) continue;
      if (Begin(position) == End(position)) continue;
      // Prefer a source whose edge joins this vertex to the last run's end
      // (where that run left it for this one), then one that the next
      // vertex continues.
      const Provenance* chosen = nullptr;
      if (!runs_.empty() && runs_.back().last == position - 1) {
        for (const Provenance* c = Begin(position); c != End(position) && chosen == nullptr; ++c) {
          if (c->contour == runs_.back().contour) continue;
          for (const Provenance* b = Begin(position - 1); b != End(position - 1) && chosen == nullptr; ++b) {
            if (Adjacent(*b, *c)) chosen = c;
          }
        }
      }
      for (const Provenance* c = Begin(position); c != End(position) && chosen == nullptr; ++c) {
        Run probe{c->contour, 0, position, position, c->index, c->u, c->u, 0.0};
        if (position + 1 < start + Size() && Extend(&probe, position + 1)) chosen = c;
      }
      if (chosen == nullptr) chosen = Begin(position);
      runs_.push_back(Run{chosen->contour, 0, position, position, chosen->index, chosen->u, chosen->u, 0.0});
    }
  }

  bool IsWholeRing(const Run& run) const {
    if (run.first != run.last - Size() + 1) return false;
    Run probe = run;
    if (!Extend(&probe, run.first)) return false;
    return std::fabs(std::fabs(probe.lastU - run.firstU) - PieceCount(*sources_.contours[run.contour])) <
           1e-9;
  }

  std::vector<Edge> WholeRing(const Run& run) const {
    const ArtObject& p = *sources_.contours[run.contour];
    const int n = PieceCount(p);
    std::vector<Edge> edges;
    for (int i = 0; i < n; ++i) {
      if (run.dir >= 0) {
        edges.push_back(Edge{PieceOf(p, i), IsCornerAnchor(p, i)});
      } else {
        const int k = n - 1 - i;
        edges.push_back(Edge{Reversed(PieceOf(p, k)), IsCornerAnchor(p, (k + 1) % n)});
      }
    }
    return edges;
  }

  // The result's own vertices joined by straight edges: for contours whose
  // sources cannot be followed.
  std::vector<Edge> Polygon() const {
    std::vector<Edge> edges;
    for (int i = 0; i < Size(); ++i) {
      const Vec2 a = VertexPoint(i), b = VertexPoint(i + 1);
      edges.push_back(Edge{CubicPiece{a, a, b, b}, true});
    }
    return edges;
  }

  // The gap vertices between run i and the next, in walk order.
  std::vector<Vec2> GapPoints(std::size_t i) const {
    const Run& a = runs_[i];
    const Run& b = runs_[(i + 1) % runs_.size()];
    int end = b.first;
    if (end <= a.last) end += Size();
    std::vector<Vec2> gap;
    for (int position = a.last + 1; position < end; ++position) gap.push_back(VertexPoint(position));
    return gap;
  }

  // The distance from p to the result's edges from vertex `from` to vertex
  // `to` (walk positions, wrapping).
  double DistanceToWalk(const Vec2& p, int from, int to) const {
    if (to < from) to += Size();
    double best = Distance(p, VertexPoint(from));
    for (int position = from; position < to; ++position) {
      const Vec2 a = VertexPoint(position), b = VertexPoint(position + 1);
      const double dh = b.h - a.h, dv = b.v - a.v, length2 = dh * dh + dv * dv;
      double t = length2 > 0 ? ((p.h - a.h) * dh + (p.v - a.v) * dv) / length2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      best = std::min(best, Distance(p, Vec2{a.h + t * dh, a.v + t * dv}));
    }
    return best;
  }

  // A start position on b's ring near `near`, from b's source points at
  // `position` when it has one.
  double GuessOn(const Run& b, int position, double fallback) const {
    for (const Provenance* c = Begin(position); c != End(position); ++c) {
      if (c->contour == b.contour) {
        const double pieces = PieceCount(*sources_.contours[b.contour]);
        double u = c->u + b.offset;
        while (u - fallback > pieces / 2) u -= pieces;
        while (fallback - u > pieces / 2) u += pieces;
        return u;
      }
    }
    return fallback;
  }

  // Whether two neighbouring gap vertices (walk positions from..to) both
  // lack a source: the edge between them belongs to a third source that has
  // no vertex of its own there, so the two runs' curves may cross inside
  // the union, behind that stretch, and a crossing is taken only as far
  // from the gap as the flattening itself can be.
  bool UnknownStretch(int from, int to) const {
    for (int position = from; position < to; ++position) {
      if (Begin(position) == End(position) && Begin(position + 1) == End(position + 1)) return true;
    }
    return false;
  }

  Cut MakeCut(std::size_t i) const {
    const Run& a = runs_[i];
    const Run& b = runs_[(i + 1) % runs_.size()];
    const Ring ra = RingOf(a.contour), rb = RingOf(b.contour);
    const std::vector<Vec2> gap = GapPoints(i);
    const int end = a.last + 1 + static_cast<int>(gap.size());
    const Vec2 c = gap.empty() ? VertexPoint(a.last) : gap[gap.size() / 2];
    const double sGuess = a.lastU;
    const double tGuess = gap.empty() ? GuessOn(b, a.last, b.firstU) : b.firstU;
    const double w = 1.0;  // one piece either way

    // The crossing, refined on both curves from the nearest points. The
    // exact outline lies within the flattening's tolerance of the polygon
    // union, so a crossing farther than that from the polygon's edges here
    // is another crossing of the same two curves, not this one.
    // Where the curves cross at a small angle the polygons' crossing slides
    // along them, by the tolerance over the sine of half the angle. Two
    // bridges that reach one circle side by side meet at a fraction of a
    // degree, so the slide may be many times the tolerance; it is bounded
    // only to keep a crossing of the same curves a piece away from counting.
    double s = Project(ra, c, sGuess, w), t = Project(rb, c, tGuess, w);
    const double reach = 2 * settings_.tolerance + 2 / settings_.gridStepsPerUnit;
    if (Intersect(ra, &s, rb, &t, sGuess - w, sGuess + w, tGuess - w, tGuess + w)) {
      const Vec2 da = ra.Tangent(s), db = rb.Tangent(t);
      const double la = std::hypot(da.h, da.v), lb = std::hypot(db.h, db.v);
      double slide = kMaxSlide;
      if (la > 0 && lb > 0) {
        const double cosine = std::clamp(std::fabs(Dot(da, db)) / (la * lb), 0.0, 1.0);
        const double halfSine = std::sqrt((1 - cosine) / 2);
        slide = std::min(kMaxSlide, 1 / std::max(halfSine, 1e-9));
      }
      // Measured from the gap's own vertices (the polygons' crossings), not
      // from the runs' edges: two sources that meet at one end of a sliver
      // are not the crossing at its other end.
      const int from = gap.empty() ? a.last : a.last + 1, to = gap.empty() ? b.first : end - 1;
      if (DistanceToWalk(ra.At(s), from, to) <=
          reach * (UnknownStretch(from, to) ? 1.0 : std::max(1.0, slide)))
        return Cut{s, t, {ra.At(s)}};
    }
    // No crossing near: the curves touch or run side by side here. Where
    // they come within the tolerance, they meet halfway at their nearest
    // points; otherwise the result's own vertices bridge the gap.
    s = Project(ra, gap.empty() ? c : gap.front(), sGuess, w);
    t = Project(rb, gap.empty() ? c : gap.back(), tGuess, w);
    const Vec2 pa = ra.At(s), pb = rb.At(t);
    if (Distance(pa, pb) <= 2 * settings_.tolerance + 2 / settings_.gridStepsPerUnit) {
      return Cut{s, t, {Vec2{(pa.h + pb.h) / 2, (pa.v + pb.v) / 2}}};
    }
    if (gap.empty()) return Cut{s, t, {pa, pb}};
    return Cut{s, t, gap};
  }

  // Near a tangency the flattenings may cross several times where the
  // curves cross once or not at all; the runs between such false crossings
  // come out with their end before their start. They are dropped and their
  // neighbours joined directly.
  void DropInvertedRuns() {
    bool dropped = true;
    while (dropped && runs_.size() > 2) {
      dropped = false;
      for (std::size_t i = 0; i < runs_.size() && runs_.size() > 2; ++i) {
        const std::size_t prev = (i + runs_.size() - 1) % runs_.size();
        const double from = cuts_[prev].startB, to = cuts_[i].endA;
        const int dir = runs_[i].dir;
        const bool inverted = dir != 0 ? (to - from) * dir < 0 : false;
        const bool empty = to == from && cuts_[prev].points.size() == 1 && cuts_[i].points.size() == 1;
        if (!inverted && !empty) continue;
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(i));
        cuts_.erase(cuts_.begin() + static_cast<std::ptrdiff_t>(i));
        const std::size_t before = (i + runs_.size() - 1) % runs_.size();
        JoinIfContinuing(before);
        cuts_[(i + runs_.size() - 1) % runs_.size()] = MakeCut((i + runs_.size() - 1) % runs_.size());
        dropped = true;
        break;
      }
    }
  }

  // Runs `i` and the next that follow one contour in one direction become
  // one run.
  void JoinIfContinuing(std::size_t i) {
    if (runs_.size() < 3) return;
    const std::size_t next = (i + 1) % runs_.size();
    Run& a = runs_[i];
    const Run& b = runs_[next];
    if (a.contour != b.contour) return;
    const int dir = a.dir != 0 ? a.dir : b.dir;
    if (b.dir != 0 && dir != b.dir) return;
    const double pieces = PieceCount(*sources_.contours[a.contour]);
    double shift = 0;
    while (b.firstU + shift - a.lastU > pieces / 2) shift -= pieces;
    while (a.lastU - (b.firstU + shift) > pieces / 2) shift += pieces;
    const double step = (b.firstU + shift - a.lastU) * (dir != 0 ? dir : 1);
    if (step < 0 || step > 1) return;
    a.dir = dir;
    a.last = b.last;
    a.lastIndex = b.lastIndex;
    a.lastU = b.lastU + shift;
    a.offset = b.offset + shift;
    const std::size_t cut = next;
    cuts_[i] = cuts_[cut];
    cuts_[i].startB = cuts_[cut].startB;
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(next));
    cuts_.erase(cuts_.begin() + static_cast<std::ptrdiff_t>(next));
  }

  // The run's source between two ring positions, its ends moved onto the
  // cut points so that neighbours meet exactly.
  void AppendRun(const Run& run, double from, double to, const Vec2& start, const Vec2& end,
                 std::vector<Edge>* edges) const {
    const ArtObject& p = *sources_.contours[run.contour];
    const int n = PieceCount(p);
    const std::size_t first = edges->size();
    auto pieceAt = [&](double k) {
      const long long m = static_cast<long long>(k) % n;
      return static_cast<int>(m < 0 ? m + n : m);
    };
    if (to > from) {
      for (double k = std::floor(from); k < to; k += 1) {
        const double t0 = std::max(from, k) - k, t1 = std::min(to, k + 1) - k;
        if (t1 <= t0) continue;
        const int piece = pieceAt(k);
        const CubicPiece whole = PieceOf(p, piece);
        const bool corner = edges->size() == first || IsCornerAnchor(p, piece);
        edges->push_back(Edge{t0 == 0 && t1 == 1 ? whole : SubPiece(whole, t0, t1), corner});
      }
    } else if (to < from) {
      for (double k = std::ceil(from) - 1; k + 1 > to; k -= 1) {
        const double t0 = std::min(from, k + 1) - k, t1 = std::max(to, k) - k;
        if (t0 <= t1) continue;
        const int piece = pieceAt(k);
        const CubicPiece whole = PieceOf(p, piece);
        const bool corner = edges->size() == first || IsCornerAnchor(p, (piece + 1) % n);
        edges->push_back(Edge{t0 == 1 && t1 == 0 ? Reversed(whole) : SubPiece(whole, t0, t1), corner});
      }
    }
    if (edges->size() == first) {
      edges->push_back(Edge{CubicPiece{start, start, end, end}, true});
      return;
    }
    MoveStart(&(*edges)[first].piece, start);
    MoveEnd(&edges->back().piece, end);
  }

  static void MoveStart(CubicPiece* c, const Vec2& p) {
    const bool straight = IsStraight(*c);
    c->p0 = p;
    if (straight) c->p1 = p;
  }
  static void MoveEnd(CubicPiece* c, const Vec2& p) {
    const bool straight = IsStraight(*c);
    c->p3 = p;
    if (straight) c->p2 = p;
  }

  std::vector<Edge> Emit() const {
    std::vector<Edge> edges;
    const std::size_t count = runs_.size();
    for (std::size_t i = 0; i < count; ++i) {
      const Cut& in = cuts_[(i + count - 1) % count];
      const Cut& out = cuts_[i];
      AppendRun(runs_[i], in.startB, out.endA, in.points.back(), out.points.front(), &edges);
      for (std::size_t k = 0; k + 1 < out.points.size(); ++k) {
        const Vec2 a = out.points[k], b = out.points[k + 1];
        edges.push_back(Edge{CubicPiece{a, a, b, b}, true});
      }
    }
    return edges;
  }

  ClipperLib::Path path_;
  bool folded_ = false;
  const SourceTable& sources_;
  const RebuildSettings& settings_;
  std::vector<uint32_t> offsets_;
  std::vector<Provenance> found_;
  std::vector<Run> runs_;
  std::vector<Cut> cuts_;
};

HostPoint ToHost(const Vec2& p) { return HostPoint{static_cast<HostReal>(p.h), static_cast<HostReal>(p.v)}; }
Vec2 FromHost(const HostPoint& p) { return Vec2{p.h, p.v}; }
bool Same(const HostPoint& a, const HostPoint& b) { return a.h == b.h && a.v == b.v; }

struct HostEdge {
  HostPoint p0, p1, p2, p3;
  bool corner;
  bool Straight() const { return Same(p0, p1) && Same(p2, p3); }
};

// Whether b continues the straight edge a on the same line, the same way.
bool ContinuesLine(const HostEdge& a, const HostEdge& b) {
  if (!a.Straight() || !b.Straight()) return false;
  const double ah = a.p3.h - a.p0.h, av = a.p3.v - a.p0.v;
  const double bh = b.p3.h - b.p0.h, bv = b.p3.v - b.p0.v;
  return ah * bv - av * bh == 0 && ah * bh + av * bv > 0;
}

}  // namespace

std::vector<PathSegment> RebuildContour(const ClipperLib::Path& contour, const SourceTable& sources,
                                        const ProvenanceIndex& index, const RebuildSettings& settings) {
  ContourRebuilder rebuilder(contour, sources, index, settings);
  const std::vector<Edge> edges = rebuilder.Build();
  // Rounded to the host's 32-bit reals; pieces that shrink to a point go.
  std::vector<HostEdge> kept;
  kept.reserve(edges.size());
  for (const Edge& e : edges) {
    HostEdge h{ToHost(e.piece.p0), ToHost(e.piece.p1), ToHost(e.piece.p2), ToHost(e.piece.p3),
               e.cornerAtStart};
    if (Same(h.p0, h.p3) && Same(h.p0, h.p1) && Same(h.p0, h.p2)) continue;
    kept.push_back(h);
  }
  // A straight stub shorter than kStub, left where a source's anchor lies
  // just off the curve it meets (as the effect's bridges meet their circles),
  // goes: the next piece starts where the stub started, its handle moved
  // along, and the anchor between them is a corner.
  constexpr double kStub = 0.005;
  for (std::size_t i = 0; kept.size() > 2 && i < kept.size();) {
    const HostEdge& e = kept[i];
    if (!e.Straight() || std::hypot(e.p3.h - e.p0.h, e.p3.v - e.p0.v) >= kStub) {
      ++i;
      continue;
    }
    HostEdge& next = kept[(i + 1) % kept.size()];
    const bool nextStraight = next.Straight();
    next.p1.h += e.p0.h - next.p0.h;
    next.p1.v += e.p0.v - next.p0.v;
    next.p0 = e.p0;
    if (nextStraight) next.p1 = next.p0;
    next.corner = true;
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(i));
  }
  if (settings.removeRedundantPoints) {
    std::vector<HostEdge> merged;
    for (const HostEdge& e : kept) {
      if (!merged.empty() && ContinuesLine(merged.back(), e)) {
        merged.back().p3 = e.p3;
        merged.back().p2 = e.p3;
      } else {
        merged.push_back(e);
      }
    }
    while (merged.size() > 1 && ContinuesLine(merged.back(), merged.front())) {
      merged.front().p0 = merged.back().p0;
      merged.front().p1 = merged.back().p0;
      merged.front().corner = merged.back().corner;
      merged.pop_back();
    }
    kept = std::move(merged);
  }
  std::vector<PathSegment> segments;
  if (kept.size() < 2) return segments;
  // A contour of one source's pieces that is thinner on average than half
  // the flattening's tolerance is a piece folded back on itself (as a
  // repeated anchor with its handles makes): no outline the drawing has.
  double twiceArea = 0, perimeter = 0;
  for (const HostEdge& e : kept) {
    const CubicPiece c{FromHost(e.p0), FromHost(e.p1), FromHost(e.p2), FromHost(e.p3)};
    twiceArea += TwiceSweptArea(c);
    perimeter += Distance(c.p0, c.p1) + Distance(c.p1, c.p2) + Distance(c.p2, c.p3);
  }
  if (rebuilder.Folded() && std::fabs(twiceArea) < perimeter * settings.tolerance / 2) return segments;
  segments.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const HostEdge& before = kept[(i + kept.size() - 1) % kept.size()];
    segments.push_back(
        PathSegment{kept[i].p0, before.p2, kept[i].p1, static_cast<HostBoolean>(kept[i].corner)});
  }
  return segments;
}

}  // namespace standin
