#include "cli/svg/svg_path_data.h"

#include <cctype>
#include <string>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_number.h"

namespace morvelin {

namespace {

// How many numbers one repeat of each command takes.
int ArgumentCount(char command) {
  switch (std::tolower(static_cast<unsigned char>(command))) {
    case 'm':
    case 'l':
    case 't': return 2;
    case 'h':
    case 'v': return 1;
    case 'c': return 6;
    case 's':
    case 'q': return 4;
    case 'a': return 7;
    case 'z': return 0;
    default: return -1;
  }
}

DPoint Reflect(DPoint handle, DPoint about) { return DPoint{2 * about.x - handle.x, 2 * about.y - handle.y}; }

class PathDataReader {
 public:
  explicit PathDataReader(std::string_view data) : scanner_(data) {}

  std::vector<DSubpath> ReadUpToError(std::optional<SvgDataError>* error) {
    try {
      return Read();
    } catch (SvgDataError& fault) {
      *error = std::move(fault);
    }
    return builder_.Take();
  }

  std::vector<DSubpath> Read() {
    scanner_.SkipSpaces();
    if (scanner_.AtEnd()) return {};
    const char first = scanner_.Peek();
    if (first != 'M' && first != 'm') Fail("path data must start with a move (M or m)");
    while (!scanner_.AtEnd()) {
      const char command = scanner_.Peek();
      if (ArgumentCount(command) < 0) Fail(std::string("unknown path command '") + command + "'");
      scanner_.Advance();
      scanner_.SkipSpaces();
      ReadRepeats(command);
    }
    return builder_.Take();
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) { throw SvgDataError{scanner_.offset(), problem}; }

  double Number() {
    const auto value = scanner_.Number();
    if (!value) Fail("expected a number");
    scanner_.SkipSeparator();
    return *value;
  }
  bool Flag() {
    const auto value = scanner_.Flag();
    if (!value) Fail("expected an arc flag (0 or 1)");
    scanner_.SkipSeparator();
    return *value;
  }
  bool NumberFollows() const {
    const char c = scanner_.Peek();
    return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.';
  }

  // One command and the repeats that follow it without a letter.
  void ReadRepeats(char command) {
    if (ArgumentCount(command) == 0) {
      builder_.Close();
      lastCubic_ = lastQuad_ = false;
      return;
    }
    do {
      ReadOnce(command);
      // After a move, further pairs are lines of the same kind.
      if (command == 'M') command = 'L';
      if (command == 'm') command = 'l';
    } while (NumberFollows());
  }

  void ReadOnce(char command) {
    const bool relative = std::islower(static_cast<unsigned char>(command));
    const DPoint at = builder_.current();
    auto point = [&]() {
      const double x = Number();
      const double y = Number();
      return relative ? DPoint{at.x + x, at.y + y} : DPoint{x, y};
    };
    bool cubic = false, quad = false;
    switch (std::tolower(static_cast<unsigned char>(command))) {
      case 'm': builder_.MoveTo(point()); break;
      case 'l': builder_.LineTo(point()); break;
      case 'h': {
        const double x = Number();
        builder_.LineTo(DPoint{relative ? at.x + x : x, at.y});
        break;
      }
      case 'v': {
        const double y = Number();
        builder_.LineTo(DPoint{at.x, relative ? at.y + y : y});
        break;
      }
      case 'c': {
        const DPoint c1 = point(), c2 = point(), p = point();
        builder_.CubicTo(c1, c2, p);
        control_ = c2;
        cubic = true;
        break;
      }
      case 's': {
        // The first handle mirrors the previous cubic's second one, or sits
        // on the current point when the previous command was not a cubic.
        const DPoint c1 = lastCubic_ ? Reflect(control_, at) : at;
        const DPoint c2 = point(), p = point();
        builder_.CubicTo(c1, c2, p);
        control_ = c2;
        cubic = true;
        break;
      }
      case 'q': {
        const DPoint q = point(), p = point();
        builder_.QuadTo(q, p);
        control_ = q;
        quad = true;
        break;
      }
      case 't': {
        const DPoint q = lastQuad_ ? Reflect(control_, at) : at;
        const DPoint p = point();
        builder_.QuadTo(q, p);
        control_ = q;
        quad = true;
        break;
      }
      case 'a': {
        const double rx = Number(), ry = Number(), rotation = Number();
        const bool largeArc = Flag(), sweep = Flag();
        builder_.ArcTo(rx, ry, rotation, largeArc, sweep, point());
        break;
      }
    }
    lastCubic_ = cubic;
    lastQuad_ = quad;
  }

  NumberScanner scanner_;
  SubpathBuilder builder_;
  DPoint control_;  // the last cubic's second handle or quadratic's control point
  bool lastCubic_ = false;
  bool lastQuad_ = false;
};

}  // namespace

std::vector<DSubpath> ParsePathData(std::string_view data) { return PathDataReader(data).Read(); }

std::vector<DSubpath> ParsePathDataUpToError(std::string_view data, std::optional<SvgDataError>* error) {
  error->reset();
  return PathDataReader(data).ReadUpToError(error);
}

}  // namespace morvelin
