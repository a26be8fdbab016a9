#include "cli/session/png_render.h"

#include <cairo.h>
#include <librsvg/rsvg.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_output_file.h"

namespace morvelin {

namespace {

constexpr double kLongSide = 800;  // pixels
constexpr int kMaxSide = 16384;    // pixels, for drawings of extreme proportions

struct HandleDeleter {
  void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleDeleter>;
using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

// Reads `path`; relative references resolve against `base` (a file path).
Handle Load(const std::string& path, std::string* error, const std::string& base = "") {
  GError* failure = nullptr;
  RsvgHandle* handle = nullptr;
  if (base.empty()) {
    handle = rsvg_handle_new_from_file(path.c_str(), &failure);
  } else {
    GFile* file = g_file_new_for_path(path.c_str());
    GFile* baseFile = g_file_new_for_path(base.c_str());
    GFileInputStream* stream = g_file_read(file, nullptr, &failure);
    if (stream != nullptr) {
      handle = rsvg_handle_new_from_stream_sync(G_INPUT_STREAM(stream), baseFile, RSVG_HANDLE_FLAGS_NONE,
                                                nullptr, &failure);
      g_object_unref(stream);
    }
    g_object_unref(baseFile);
    g_object_unref(file);
  }
  if (handle == nullptr) {
    *error = failure != nullptr ? failure->message : "librsvg cannot read it";
    if (failure != nullptr) g_error_free(failure);
    return nullptr;
  }
  return Handle(handle);
}

// The part of user space the preview shows, in user units.
struct Frame {
  double left = 0, top = 0, width = 0, height = 0;
};

Frame DocumentFrame(RsvgHandle* handle) {
  double width = 0, height = 0;
  if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) && width > 0 && height > 0) {
    return Frame{0, 0, width, height};
  }
  gboolean hasWidth = FALSE, hasHeight = FALSE, hasViewBox = FALSE;
  RsvgLength w, h;
  RsvgRectangle viewBox;
  rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &w, &hasHeight, &h, &hasViewBox, &viewBox);
  if (hasViewBox && viewBox.width > 0 && viewBox.height > 0)
    return Frame{0, 0, viewBox.width, viewBox.height};
  // Neither: what the drawing draws.
  const RsvgRectangle viewport{0, 0, kLongSide, kLongSide};
  RsvgRectangle ink{}, logical{};
  if (rsvg_handle_get_geometry_for_layer(handle, nullptr, &viewport, &ink, &logical, nullptr) &&
      ink.width > 0 && ink.height > 0) {
    return Frame{ink.x, ink.y, ink.width, ink.height};
  }
  return Frame{0, 0, 100, 100};
}

// Draws the document on white into a new surface of `width` x `height`,
// `frame` scaled by `scale`.
Surface Draw(RsvgHandle* handle, int width, int height, const Frame& frame, double scale,
             std::string* error) {
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
  Context context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_scale(cr, scale, scale);
  cairo_translate(cr, -frame.left, -frame.top);
  const RsvgRectangle viewport{0, 0, std::max(1.0, frame.left + frame.width),
                               std::max(1.0, frame.top + frame.height)};
  GError* failure = nullptr;
  if (!rsvg_handle_render_document(handle, cr, &viewport, &failure)) {
    *error = failure != nullptr ? failure->message : "librsvg cannot draw it";
    if (failure != nullptr) g_error_free(failure);
    return Surface(nullptr, cairo_surface_destroy);
  }
  cairo_surface_flush(surface.get());
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    *error = cairo_status_to_string(cairo_status(cr));
    return Surface(nullptr, cairo_surface_destroy);
  }
  return surface;
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// Draws the SVG file as PNG bytes in this process; OutputError when librsvg
// or cairo refuses it.
std::string DrawPng(const std::string& svgPath, const std::string& pngPath, const std::string& svgName) {
  const std::string& name = svgName.empty() ? svgPath : svgName;
  std::string error;
  const Handle handle = Load(svgPath, &error, svgName);
  if (!handle) throw OutputError(pngPath, "cannot draw " + name + ": " + error);
  const Frame frame = DocumentFrame(handle.get());
  const double scale = kLongSide / std::max(frame.width, frame.height);
  auto side = [scale](double length) {
    return static_cast<int>(std::clamp(std::ceil(length * scale), 1.0, static_cast<double>(kMaxSide)));
  };
  const Surface surface = Draw(handle.get(), side(frame.width), side(frame.height), frame, scale, &error);
  if (!surface) throw OutputError(pngPath, "cannot draw " + name + ": " + error);
  std::string bytes;
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &bytes);
  if (status != CAIRO_STATUS_SUCCESS) {
    throw OutputError(pngPath, std::string("cannot encode PNG: ") + cairo_status_to_string(status));
  }
  return bytes;
}

// The child's side: 'P' and the PNG's bytes, or 'E' and the problem, written
// whole into `fd`; then the child ends without running this process's exit
// handlers (they belong to the parent).
[[noreturn]] void DrawInChild(int fd, const std::string& svgPath, const std::string& pngPath,
                              const std::string& svgName) {
  // The parent removes the staged files when it is interrupted.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGHUP, SIG_DFL);
  std::string reply;
  try {
    reply = 'P' + DrawPng(svgPath, pngPath, svgName);
  } catch (const OutputError& error) {
    reply = std::string("E") + error.what();
  } catch (const std::bad_alloc&) {
    reply = "E" + pngPath + ": cannot draw " + (svgName.empty() ? svgPath : svgName) + ": out of memory";
  }
  for (std::size_t done = 0; done < reply.size();) {
    const ssize_t n = write(fd, reply.data() + done, reply.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) _exit(1);
    done += static_cast<std::size_t>(n);
  }
  _exit(0);
}

}  // namespace

bool PngPreviewAvailable() { return true; }

// librsvg draws in a child process: a drawing that crashes it (a long chain
// of <use>, a deeply nested selector) or exhausts memory there ends that
// process alone, and this one reports it as an output that cannot be written
// and removes what it staged.
std::string RenderSvgFileToPngBytes(const std::string& svgPath, const std::string& pngPath,
                                    const std::string& svgName) {
  const std::string& name = svgName.empty() ? svgPath : svgName;
  int fds[2];
  if (pipe(fds) != 0) throw OutputError(pngPath, "cannot draw " + name + ": " + std::strerror(errno));
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    const int problem = errno;
    close(fds[0]);
    close(fds[1]);
    throw OutputError(pngPath, "cannot draw " + name + ": " + std::strerror(problem));
  }
  if (child == 0) {
    close(fds[0]);
    DrawInChild(fds[1], svgPath, pngPath, svgName);
  }
  close(fds[1]);
  std::string reply;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    reply.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    throw OutputError(pngPath,
                      "cannot draw " + name + ": librsvg failed on it (" + strsignal(WTERMSIG(status)) + ")");
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || reply.empty()) {
    throw OutputError(pngPath, "cannot draw " + name + ": librsvg ended without a picture");
  }
  if (reply[0] == 'E') {
    // The child's OutputError, whose text already starts with the PNG's name.
    const std::string prefix = pngPath + ": ";
    std::string problem = reply.substr(1);
    if (problem.rfind(prefix, 0) == 0) problem.erase(0, prefix.size());
    throw OutputError(pngPath, problem);
  }
  return reply.substr(1);
}

void RenderSvgFileToPng(const std::string& svgPath, const std::string& pngPath) {
  WriteFileAtomically(pngPath, RenderSvgFileToPngBytes(svgPath, pngPath));
}

bool RenderSvgFileToPixels(const std::string& svgPath, int width, int height, std::vector<uint32_t>* pixels,
                           std::string* error, const std::string& baseFile) {
  const Handle handle = Load(svgPath, error, baseFile);
  if (!handle) return false;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
  {
    Context context(cairo_create(surface.get()), cairo_destroy);
    cairo_set_source_rgb(context.get(), 1, 1, 1);
    cairo_paint(context.get());
    const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
    GError* failure = nullptr;
    if (!rsvg_handle_render_document(handle.get(), context.get(), &viewport, &failure)) {
      *error = failure != nullptr ? failure->message : "librsvg cannot draw it";
      if (failure != nullptr) g_error_free(failure);
      return false;
    }
  }
  cairo_surface_flush(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  pixels->assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width; ++x) (*pixels)[static_cast<std::size_t>(y) * width + x] = row[x] & 0xFFFFFF;
  }
  return true;
}

}  // namespace morvelin
