// The errors of reading and writing drawings.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace morvelin {

// A drawing that cannot be read: an unreadable file, malformed XML, a root
// element that is not `svg`, or bad data in an element the tool models. The
// message is "<file>:<line>:<column>: <problem>", or "<file>: <problem>" when
// there is no position (line and column are then 0). Lines and columns count
// from 1; columns count characters. Controls and bytes that are not UTF-8 in
// the message are written as \xNN (see standin::PrintableText).
class SvgError : public std::runtime_error {
 public:
  SvgError(const std::string& file, int line, int column, const std::string& problem);
  SvgError(const std::string& file, const std::string& problem) : SvgError(file, 0, 0, problem) {}
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  int column() const { return column_; }

 private:
  std::string file_;
  int line_;
  int column_;
};

// An output file (SVG or PNG) that cannot be written. The message is
// "<file>: <problem>".
class OutputError : public std::runtime_error {
 public:
  OutputError(const std::string& file, const std::string& problem)
      : std::runtime_error(file + ": " + problem) {}
};

// Bad data inside one attribute value: `index` is the offset of the fault in
// the value. Thrown by the value parsers; the importer turns it into an
// SvgError with the position in the file.
struct SvgDataError {
  std::size_t index;
  std::string problem;
};

}  // namespace morvelin
