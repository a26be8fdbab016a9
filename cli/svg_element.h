// One element of an SVG document being read: its attributes, and errors that
// point at their place in the source text.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "cli/svg_errors.h"

namespace morvelin {

// The source a document was parsed from. The document must have been parsed
// from exactly `text`, so that node offsets point into it.
struct SvgSource {
  std::string_view text;
  std::string name;  // for messages
};

class SvgElement {
 public:
  SvgElement(pugi::xml_node node, const SvgSource& source) : node_(node), source_(source) {}

  pugi::xml_node node() const { return node_; }
  std::string_view name() const { return node_.name(); }
  bool Has(const char* attribute) const { return !node_.attribute(attribute).empty(); }
  // The attribute's text with references decoded; empty when it is missing.
  std::string Value(const char* attribute) const;
  // A length attribute in user units; `fallback` when it is missing. Throws
  // SvgError for a value that is not a length, SvgUnmodelled for a length
  // relative to the font or viewport.
  double Length(const char* attribute, double fallback) const;

  // Throws SvgError at the element's start tag.
  [[noreturn]] void Fail(const std::string& problem) const;
  // Throws SvgError at the fault `error` found inside the attribute's value.
  [[noreturn]] void FailInValue(const char* attribute, const SvgDataError& error) const;

 private:
  pugi::xml_node node_;
  const SvgSource& source_;
};

// Throws SvgError at byte `offset` of the source.
[[noreturn]] void FailAtOffset(const SvgSource& source, std::size_t offset, const std::string& problem);

}  // namespace morvelin
