#include "cli/png_render.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include "cli/svg_errors.h"
#include "cli/svg_number.h"
#include "cli/svg_output_file.h"
#include "standin/art/art_store.h"

namespace morvelin {

namespace {

constexpr double kLongSide = 800;  // pixels, margins included
constexpr double kMargin = 16;     // pixels on each side

bool Drawn(const ArtObject& art) {
  return (art.type == kArtTypePath || art.type == kArtTypeCompoundPath) && !art.guide && !art.clip;
}

void TraceContour(cairo_t* cr, const ArtObject& path) {
  const auto& segments = path.segments;
  if (segments.empty()) return;
  cairo_move_to(cr, segments.front().p.h, segments.front().p.v);
  auto piece = [cr](const PathSegment& from, const PathSegment& to) {
    cairo_curve_to(cr, from.out.h, from.out.v, to.in.h, to.in.v, to.p.h, to.p.v);
  };
  for (std::size_t i = 1; i < segments.size(); ++i) piece(segments[i - 1], segments[i]);
  if (path.closed) {
    piece(segments.back(), segments.front());
    cairo_close_path(cr);
  }
}

void PaintPath(cairo_t* cr, const ArtObject& art) {
  cairo_new_path(cr);
  if (art.type == kArtTypePath) TraceContour(cr, art);
  for (const ArtObject* child : art.children) {
    if (child->type == kArtTypePath) TraceContour(cr, *child);
  }
  const PathStyle& style = art.style;
  if (style.fillPaint) {
    const HostColor& c = style.fillColor;
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.opacity);
    cairo_set_fill_rule(cr, style.evenOddFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill_preserve(cr);
  }
  if (style.strokePaint && style.strokeWidth > 0) {
    const HostColor& c = style.strokeColor;
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.opacity);
    cairo_set_line_width(cr, style.strokeWidth);
    cairo_set_line_join(cr, style.lineJoin == kLineJoinRound   ? CAIRO_LINE_JOIN_ROUND
                            : style.lineJoin == kLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                               : CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(cr, style.lineCap == kLineCapRound    ? CAIRO_LINE_CAP_ROUND
                           : style.lineCap == kLineCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                             : CAIRO_LINE_CAP_BUTT);
    cairo_set_miter_limit(cr, style.miterLimit);
    double dashes[32];
    const int count = std::clamp(style.dashCount, 0, 32);
    for (int i = 0; i < count; ++i) dashes[i] = style.dashes[i];
    cairo_set_dash(cr, dashes, count, style.dashOffset);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
}

void PaintArt(cairo_t* cr, const ArtObject& art) {
  if (Drawn(art)) return PaintPath(cr, art);
  if (art.type == kArtTypeGroup) {
    for (const ArtObject* child : art.children) PaintArt(cr, *child);
  }
}

// Grows `frame` by the exact bounds, strokes included, of every object the
// picture draws (guides and clipping paths are not drawn, so they do not
// count). The art tree's "top" is its larger vertical coordinate.
void AddDrawnBounds(const ArtObject& art, PngFrame& frame, bool& any) {
  if (Drawn(art)) {
    const HostRect r = standin::ArtStore::Bounds(&art, nullptr, /*withStroke=*/true);
    const double left = any ? std::min<double>(frame.left, r.left) : r.left;
    const double top = any ? std::min<double>(frame.top, r.bottom) : r.bottom;
    const double right = any ? std::max<double>(frame.left + frame.width, r.right) : r.right;
    const double bottom = any ? std::max<double>(frame.top + frame.height, r.top) : r.top;
    frame = PngFrame{left, top, right - left, bottom - top};
    any = true;
    return;
  }
  if (art.type == kArtTypeGroup) {
    for (const ArtObject* child : art.children) AddDrawnBounds(*child, frame, any);
  }
}

PngFrame DrawingFrame(const ArtObject* root) {
  PngFrame frame;
  bool any = false;
  if (root != nullptr) AddDrawnBounds(*root, frame, any);
  if (!any || (frame.width <= 0 && frame.height <= 0)) return PngFrame{0, 0, 1, 1};
  return frame;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

PngFrame ViewBoxFrame(const ArtObject* root) {
  if (root == nullptr) return {};
  for (const auto& [name, value] : root->attributes) {
    if (name != "viewBox") continue;
    NumberScanner scanner(value);
    double numbers[4];
    for (double& number : numbers) {
      scanner.SkipSeparator();
      const auto read = scanner.Number();
      if (!read) return {};
      number = *read;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0) return {};
    return PngFrame{numbers[0], numbers[1], numbers[2], numbers[3]};
  }
  return {};
}

std::string RenderPngBytes(const ArtObject* root, const std::string& path, const PngFrame& requested) {
  PngFrame frame = requested.width > 0 && requested.height > 0 ? requested : DrawingFrame(root);
  // A frame without extent (a single point) becomes a unit square around it.
  const double longer = std::max(frame.width, frame.height);
  if (longer <= 0 || !std::isfinite(longer)) frame = PngFrame{frame.left - 0.5, frame.top - 0.5, 1, 1};
  const double span = std::max(frame.width, frame.height);
  const double scale = (kLongSide - 2 * kMargin) / span;
  const int width = static_cast<int>(std::ceil(frame.width * scale + 2 * kMargin));
  const int height = static_cast<int>(std::ceil(frame.height * scale + 2 * kMargin));

  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_translate(cr, kMargin, kMargin);
  cairo_scale(cr, scale, scale);
  cairo_translate(cr, -frame.left, -frame.top);
  if (root != nullptr) PaintArt(cr, *root);
  cairo_surface_flush(surface.get());
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    throw OutputError(path, std::string("cannot draw: ") + cairo_status_to_string(cairo_status(cr)));
  }
  std::string bytes;
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &bytes);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw OutputError(path, std::string("cannot encode PNG: ") + cairo_status_to_string(status));
  }
  return bytes;
}

void RenderPng(const ArtObject* root, const std::string& path, const PngFrame& frame) {
  WriteFileAtomically(path, RenderPngBytes(root, path, frame));
}

std::string RenderPngBytes(const SvgDrawing& drawing, const std::string& path) {
  return RenderPngBytes(drawing.root, path, ViewBoxFrame(drawing.root));
}

void RenderPng(const SvgDrawing& drawing, const std::string& path) {
  WriteFileAtomically(path, RenderPngBytes(drawing, path));
}

}  // namespace morvelin
