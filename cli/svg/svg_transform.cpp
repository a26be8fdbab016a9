#include "cli/svg/svg_transform.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_number.h"

namespace morvelin {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Radians(double degrees) { return degrees * kPi / 180.0; }

SvgMatrix Translation(double x, double y) { return SvgMatrix{1, 0, 0, 1, x, y}; }

SvgMatrix Rotation(double degrees) {
  const double c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
  return SvgMatrix{c, s, -s, c, 0, 0};
}

// One function of the list, from its name and arguments; `at` is the offset
// of the name, for errors.
SvgMatrix TransformFunction(const std::string& name, const std::vector<double>& args, std::size_t at) {
  const std::size_t n = args.size();
  auto fail = [&]() -> SvgMatrix { throw SvgDataError{at, "wrong number of arguments to " + name + "()"}; };
  if (name == "matrix") {
    if (n != 6) return fail();
    return SvgMatrix{args[0], args[1], args[2], args[3], args[4], args[5]};
  }
  if (name == "translate") {
    if (n != 1 && n != 2) return fail();
    return Translation(args[0], n == 2 ? args[1] : 0);
  }
  if (name == "scale") {
    if (n != 1 && n != 2) return fail();
    return SvgMatrix{args[0], 0, 0, n == 2 ? args[1] : args[0], 0, 0};
  }
  if (name == "rotate") {
    if (n == 1) return Rotation(args[0]);
    if (n != 3) return fail();
    // Rotation about (cx, cy): move the centre to the origin, rotate, move back.
    return Translation(args[1], args[2]) * Rotation(args[0]) * Translation(-args[1], -args[2]);
  }
  if (name == "skewX") {
    if (n != 1) return fail();
    return SvgMatrix{1, 0, std::tan(Radians(args[0])), 1, 0, 0};
  }
  if (name == "skewY") {
    if (n != 1) return fail();
    return SvgMatrix{1, std::tan(Radians(args[0])), 0, 1, 0, 0};
  }
  throw SvgDataError{at, "unknown transform '" + name + "'"};
}

}  // namespace

SvgMatrix ParseTransform(std::string_view text) {
  NumberScanner scanner(text);
  SvgMatrix result;
  scanner.SkipSpaces();
  while (!scanner.AtEnd()) {
    const std::size_t at = scanner.offset();
    std::string name;
    while (std::isalpha(static_cast<unsigned char>(scanner.Peek()))) {
      name += scanner.Peek();
      scanner.Advance();
    }
    if (name.empty()) throw SvgDataError{at, "expected a transform function"};
    scanner.SkipSpaces();
    if (scanner.Peek() != '(') throw SvgDataError{scanner.offset(), "expected '('"};
    scanner.Advance();
    scanner.SkipSpaces();
    std::vector<double> args;
    while (scanner.Peek() != ')') {
      const auto value = scanner.Number();
      if (!value) throw SvgDataError{scanner.offset(), "expected a number or ')'"};
      args.push_back(*value);
      scanner.SkipSeparator();
    }
    scanner.Advance();
    // Each function applies inside the ones before it.
    result = result * TransformFunction(name, args, at);
    scanner.SkipSeparator();
  }
  return result;
}

}  // namespace morvelin
