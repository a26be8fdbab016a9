#include "tests/support/scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "standin/art/art_store.h"

namespace testscene {

namespace {

PathStyle FilledStyle() {
  PathStyle style{};
  style.fillPaint = 1;
  style.fillColor = HostColor{0, 0, 0, 1};
  style.strokeColor = HostColor{0, 0, 0, 1};
  style.strokeWidth = 1;
  style.miterLimit = 4;
  style.lineJoin = kLineJoinMiter;
  return style;
}

ArtDescription Make(int16_t type, const std::string& name) {
  ArtDescription item;
  item.type = type;
  item.name = name;
  item.style = FilledStyle();
  return item;
}

ArtHandle Find(ArtHandle art, const std::string& name) {
  if (art->source->name == name) return art;
  for (ArtHandle child : art->children) {
    if (ArtHandle found = Find(child, name)) return found;
  }
  return nullptr;
}

}  // namespace

ArtDescription ArtDescription::Open() const {
  ArtDescription copy = *this;
  copy.closed = false;
  return copy;
}

ArtDescription ArtDescription::Guide() const {
  ArtDescription copy = *this;
  copy.guide = true;
  return copy;
}

ArtDescription ArtDescription::Clip() const {
  ArtDescription copy = *this;
  copy.clip = true;
  return copy;
}

ArtDescription ArtDescription::NoFill() const {
  ArtDescription copy = *this;
  copy.style.fillPaint = 0;
  return copy;
}

ArtDescription ArtDescription::Stroked(HostReal width) const {
  ArtDescription copy = *this;
  copy.style.strokePaint = 1;
  copy.style.strokeWidth = width;
  return copy;
}

ArtDescription ArtDescription::Unpainted() const {
  ArtDescription copy = *this;
  copy.style.fillPaint = 0;
  copy.style.strokePaint = 0;
  return copy;
}

ArtDescription Circle(const std::string& name, HostReal h, HostReal v, HostReal r) {
  const double kappa = 0.5522847;
  ArtDescription item = Make(kArtTypePath, name);
  for (int quarter = 0; quarter < 4; ++quarter) {
    // Exact unit directions at the four quarter angles, so that the anchors
    // and therefore the bounds are exact.
    const double cosT[4] = {1, 0, -1, 0};
    const double sinT[4] = {0, 1, 0, -1};
    const double ch = cosT[quarter], sv = sinT[quarter];
    const double ph = h + r * ch, pv = v + r * sv;
    // The tangent of counter-clockwise travel is (-sin t, cos t).
    const double th = -sv * kappa * r, tv = ch * kappa * r;
    PathSegment segment{};
    segment.p = HostPoint{static_cast<HostReal>(ph), static_cast<HostReal>(pv)};
    segment.in = HostPoint{static_cast<HostReal>(ph - th), static_cast<HostReal>(pv - tv)};
    segment.out = HostPoint{static_cast<HostReal>(ph + th), static_cast<HostReal>(pv + tv)};
    item.segments.push_back(segment);
  }
  return item;
}

ArtDescription Polygon(const std::string& name, const std::vector<HostPoint>& corners) {
  ArtDescription item = Make(kArtTypePath, name);
  for (const HostPoint& corner : corners) item.segments.push_back(PathSegment{corner, corner, corner, 1});
  return item;
}

ArtDescription Path(const std::string& name, const std::vector<PathSegment>& segments) {
  ArtDescription item = Make(kArtTypePath, name);
  item.segments = segments;
  return item;
}

ArtDescription Group(const std::string& name, const std::vector<ArtDescription>& children) {
  ArtDescription item = Make(kArtTypeGroup, name);
  item.children = children;
  return item;
}

ArtDescription Compound(const std::string& name, const std::vector<ArtDescription>& paths) {
  ArtDescription item = Make(kArtTypeCompoundPath, name);
  item.children = paths;
  return item;
}

ArtDescription Other(const std::string& name, int16_t type) { return Make(type, name); }

Scene::Scene(const std::vector<ArtDescription>& items) : layer_(host_.art().NewGroup()) {
  layer_->SetName("layer");
  for (const ArtDescription& item : items) Add(item);
}

Scene::~Scene() {
  if (checkBalance_ && !host_.balance().Zero())
    ADD_FAILURE() << "host balance not zero: " << host_.balance().Text();
}

ArtHandle Scene::Add(const ArtDescription& item, ArtHandle parent) {
  standin::ArtStore& store = host_.art();
  if (parent == nullptr) parent = layer_;
  ArtHandle art = nullptr;
  switch (item.type) {
    case kArtTypePath: art = store.NewPath(parent, item.segments, item.closed, item.style); break;
    case kArtTypeGroup: art = store.NewGroup(parent); break;
    case kArtTypeCompoundPath: art = store.NewCompoundPath(parent, item.style); break;
    default: art = store.NewForeign(parent, item.type, ""); break;
  }
  art->SetName(item.name);
  art->guide = item.guide;
  art->clip = item.clip;
  for (const ArtDescription& child : item.children) Add(child, art);
  return art;
}

ArtHandle Scene::operator[](const std::string& name) const {
  ArtHandle found = Find(layer_, name);
  if (found == nullptr) ADD_FAILURE() << "no art named \"" << name << "\" in the scene";
  return found;
}

bool Scene::Has(const std::string& name) const { return Find(layer_, name) != nullptr; }

std::vector<std::string> Scene::ChildNames(ArtHandle group) {
  std::vector<std::string> names;
  for (ArtHandle child : group->children) names.push_back(child->source->name);
  return names;
}

}  // namespace testscene
