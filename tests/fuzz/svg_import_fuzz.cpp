// The SVG importer on arbitrary bytes, in a fresh stand-in host each time.
//
// A rejected drawing must end in SvgError with nothing left in the art store;
// any other exception, a crash, a leak or a sanitizer report is a finding. An
// accepted drawing is exported, and the export must read back in: the tool
// must never write an SVG file that it cannot open again, and what it reads
// back has the same tree of groups, paths and kept objects.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cli/svg/svg_export.h"
#include "cli/svg/svg_import.h"
#include "standin/core/host.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The shape of a tree: types and child counts, depth first.
std::string Shape(const ArtObject* art) {
  std::string shape = std::to_string(art->type) + "(";
  for (const ArtObject* child : art->children) shape += Shape(child);
  return shape + ")";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  standin::Host host;
  standin::ArtStore& store = host.art();
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  morvelin::SvgDrawing drawing;
  try {
    drawing = morvelin::ParseSvg(text, "fuzz.svg", store);
  } catch (const morvelin::SvgError&) {
    Require(store.Live() == 0);
    return 0;
  }
  Require(drawing.root != nullptr && store.IsLive(drawing.root));

  const std::string exported = morvelin::ExportSvg(drawing);
  standin::Host second;
  try {
    const morvelin::SvgDrawing again = morvelin::ParseSvg(exported, "exported.svg", second.art());
    Require(Shape(again.root) == Shape(drawing.root));
  } catch (const morvelin::SvgError& error) {
    std::fprintf(stderr, "the export of an accepted drawing was refused: %s\n", error.what());
    std::abort();
  }
  return 0;
}
