#include "cli/svg_element.h"

#include "cli/svg_number.h"
#include "cli/svg_paint.h"
#include "cli/svg_xml_text.h"

namespace morvelin {

void FailAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem) {
  const TextPosition position = PositionAt(source.text, offset);
  throw SvgError(source.name, position.line, position.column, problem);
}

std::string SvgElement::Value(const char* attribute) const {
  return DecodeEntities(node_.attribute(attribute).value());
}

double SvgElement::Length(const char* attribute, double fallback) const {
  if (!Has(attribute)) return fallback;
  bool relative = false;
  const auto length = ParseLength(Value(attribute), &relative);
  if (relative) throw SvgUnmodelled{attribute};
  if (!length) FailInValue(attribute, SvgDataError{0, "not a length"});
  return *length;
}

void SvgElement::Fail(const std::string& problem) const {
  // The node's offset is that of its name, just after '<'.
  const std::ptrdiff_t nameOffset = node_.offset_debug();
  FailAtOffset(source_, nameOffset > 0 ? static_cast<std::size_t>(nameOffset - 1) : 0, problem);
}

void SvgElement::FailInValue(const char* attribute, const SvgDataError& error) const {
  const std::ptrdiff_t nameOffset = node_.offset_debug();
  if (nameOffset < 0) Fail(error.problem);
  const std::size_t value =
      AttributeValueOffset(source_.text, static_cast<std::size_t>(nameOffset), attribute);
  if (value == std::string_view::npos) Fail(error.problem);
  FailAtOffset(source_, ValueCharacterOffset(source_.text, value, error.index),
               std::string("in '") + attribute + "': " + error.problem);
}

}  // namespace morvelin
