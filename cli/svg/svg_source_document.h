// The parsed source of a drawing, kept beside its art so that writing the
// drawing back can copy every element the effect did not change exactly as
// it was read.
#pragma once

#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/svg/svg_matrix.h"
#include "host_api/path_style_suite.h"

namespace morvelin {

// One node the reader made an art object from; the object's `origin` is its
// index in SvgSourceDocument::nodes.
struct SourceNode {
  pugi::xml_node node;
  // ArtFingerprint of the object as read: an object that still has it is
  // written back as the node.
  uint64_t fingerprint = 0;
  // For the root and groups: the matrix from the coordinates of the
  // element's children to document coordinates (the art's coordinates); for
  // shapes, from the element's own coordinates.
  SvgMatrix inner;
  // For shapes: the path style as read. An object whose only change is its
  // style is written as the node with just the changed properties edited.
  PathStyle style{};
  // The `class` attribute and the paint-server texts of fill and stroke
  // (empty when none), which objects taking this one's place keep.
  std::string className, fillServer, strokeServer;
};

struct SvgSourceDocument {
  // The text as read (unpacked), which a drawing the effect did not change
  // is written back as.
  std::string text;
  pugi::xml_document xml;  // parsed without decoding references: values as written
  std::vector<SourceNode> nodes;
  // The origin of each node in `nodes`, by pugixml's node pointer.
  std::unordered_map<const void*, int32_t> originOf;
  // Every `id` in the document, decoded, so that new objects get ids of
  // their own.
  std::vector<std::string> ids;
  // The document has style sheets (`style` elements), whose rules may set
  // any paint property.
  bool hasStyleSheet = false;

  int32_t Add(pugi::xml_node node) {
    SourceNode source;
    source.node = node;
    nodes.push_back(std::move(source));
    const auto origin = static_cast<int32_t>(nodes.size() - 1);
    originOf[node.internal_object()] = origin;
    return origin;
  }
};

}  // namespace morvelin
