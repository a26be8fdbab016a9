#include "cli/svg/svg_path_text.h"

#include "cli/svg/float_text.h"

namespace morvelin {

namespace {

bool Retracted(HostPoint handle, HostPoint anchor) { return handle.h == anchor.h && handle.v == anchor.v; }

void AppendPoint(std::string& text, HostPoint p) {
  text += FloatText(p.h);
  text += ' ';
  text += FloatText(p.v);
}

// The piece from `from` to `to`.
void AppendPiece(std::string& text, const PathSegment& from, const PathSegment& to) {
  if (Retracted(from.out, from.p) && Retracted(to.in, to.p)) {
    text += " L";
  } else {
    text += " C";
    AppendPoint(text, from.out);
    text += ' ';
    AppendPoint(text, to.in);
    text += ' ';
  }
  AppendPoint(text, to.p);
}

}  // namespace

std::string PathDataText(const std::vector<PathSegment>& segments, bool closed) {
  if (segments.empty()) return "";
  std::string text = "M";
  AppendPoint(text, segments.front().p);
  for (std::size_t i = 1; i < segments.size(); ++i) AppendPiece(text, segments[i - 1], segments[i]);
  if (closed) {
    const PathSegment& last = segments.back();
    const PathSegment& first = segments.front();
    // A straight closing piece is Z's own line; a curved one is written out.
    if (!Retracted(last.out, last.p) || !Retracted(first.in, first.p)) AppendPiece(text, last, first);
    text += " Z";
  }
  return text;
}

}  // namespace morvelin
