#include "cli/svg/svg_element.h"

#include "cli/svg/svg_number.h"
#include "cli/svg/svg_paint.h"
#include "cli/svg/svg_xml_text.h"

namespace morvelin {

void FailAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem) {
  const TextPosition position = PositionAt(source.text, offset);
  throw SvgError(source.name, position.line, position.column, problem);
}

void WarnAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem) {
  if (source.warnings == nullptr) return;
  const TextPosition position = PositionAt(source.text, offset);
  source.warnings->push_back(
      SvgError(source.name, position.line, position.column, "warning: " + problem).what());
}

std::string_view SvgName(pugi::xml_node node) {
  const std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) return name;
  const std::string declaration = "xmlns:" + std::string(name.substr(0, colon));
  for (pugi::xml_node at = node; at; at = at.parent()) {
    const pugi::xml_attribute bound = at.attribute(declaration.c_str());
    if (bound) return std::string_view(bound.value()) == kSvgNamespace ? name.substr(colon + 1) : name;
  }
  return name;
}

std::string SvgElement::Value(const char* attribute) const {
  return DecodeEntities(node_.attribute(attribute).value());
}

double SvgElement::Length(const char* attribute, double fallback) const {
  if (!Has(attribute)) return fallback;
  bool relative = false;
  const auto length = ParseLength(Value(attribute), &relative);
  if (relative) throw SvgUnmodelled{attribute};
  if (!length) {
    WarnInValue(attribute, SvgDataError{0, "not a length; ignored"});
    return fallback;
  }
  return *length;
}

std::size_t SvgElement::TagOffset() const {
  // The node's offset is that of its name, just after '<'.
  const std::ptrdiff_t nameOffset = node_.offset_debug();
  return nameOffset > 0 ? static_cast<std::size_t>(nameOffset - 1) : 0;
}

std::size_t SvgElement::ValueOffset(const char* attribute, const SvgDataError& error) const {
  const std::ptrdiff_t nameOffset = node_.offset_debug();
  if (nameOffset < 0) return TagOffset();
  const std::size_t value =
      AttributeValueOffset(source_.text, static_cast<std::size_t>(nameOffset), attribute);
  if (value == std::string_view::npos) return TagOffset();
  return ValueCharacterOffset(source_.text, value, error.index);
}

void SvgElement::Warn(const std::string& problem) const { WarnAtOffset(source_, TagOffset(), problem); }

void SvgElement::WarnInValue(const char* attribute, const SvgDataError& error) const {
  WarnAtOffset(source_, ValueOffset(attribute, error),
               std::string("in '") + attribute + "': " + error.problem);
}

void SvgElement::Fail(const std::string& problem) const { FailAtOffset(source_, TagOffset(), problem); }

void SvgElement::FailInValue(const char* attribute, const SvgDataError& error) const {
  FailAtOffset(source_, ValueOffset(attribute, error),
               std::string("in '") + attribute + "': " + error.problem);
}

}  // namespace morvelin
