#include "cli/commands/inkscape_effect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <unordered_map>

#include "cli/session/effect_session.h"
#include "cli/svg/svg_css.h"
#include "cli/svg/svg_element.h"
#include "cli/svg/svg_export.h"
#include "cli/svg/svg_import.h"
#include "cli/svg/svg_matrix.h"
#include "cli/svg/svg_raw_xml.h"
#include "cli/svg/svg_shape_element.h"
#include "cli/svg/svg_transform.h"
#include "cli/svg/svg_well_formed.h"
#include "cli/svg/svg_xml_text.h"
#include "standin/art/art_store.h"
#include "standin/unite/unite_engine.h"

namespace morvelin {

namespace {

constexpr unsigned kPrintOptions = kRawPrintOptions | pugi::format_no_declaration;

constexpr const char* kEffectClass = "morvelin-effect";
constexpr const char* kSourcesClass = "morvelin-sources";
constexpr const char* kOutlineClass = "morvelin-outline";
// A name given to the imported objects that have none, so that the objects
// a unite makes are the ones without a name. It never reaches the result.
constexpr std::string_view kUnnamedMark = "morvelin~unnamed~";
constexpr const char* kOrderAttribute = "data-morvelin-order";

bool HasClass(pugi::xml_node node, std::string_view wanted) {
  std::istringstream classes(node.attribute("class").value());
  std::string one;
  while (classes >> one) {
    if (one == wanted) return true;
  }
  return false;
}

bool IsGroup(pugi::xml_node node, const char* cls) {
  return std::string_view(node.name()) == "g" && HasClass(node, cls);
}

// display:none as an attribute or in the style attribute.
bool IsHidden(pugi::xml_node node) {
  if (std::string_view(node.attribute("display").value()) == "none") return true;
  for (const CssDeclaration& declaration :
       ParseDeclarations(DecodeEntities(node.attribute("style").value()))) {
    if (declaration.name == "display" && declaration.value == "none") return true;
  }
  return false;
}

bool IsLayer(pugi::xml_node node) {
  return std::string_view(node.name()) == "g" &&
         std::string_view(node.attribute("inkscape:groupmode").value()) == "layer";
}

// A product of a matrix and its inverse comes back within rounding of the
// identity; such a product moves nothing and is not written.
bool NearIdentity(const SvgMatrix& m) {
  constexpr double kLinear = 1e-12;
  constexpr double kOffset = 1e-9;
  return std::fabs(m.a - 1) < kLinear && std::fabs(m.b) < kLinear && std::fabs(m.c) < kLinear &&
         std::fabs(m.d - 1) < kLinear && std::fabs(m.e) < kOffset && std::fabs(m.f) < kOffset;
}

std::string DocumentText(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "", kPrintOptions, pugi::encoding_utf8);
  return out.str();
}

XmlLayout Parse(pugi::xml_document& document, const SvgSource& source) {
  const XmlLayout layout = ParseXmlStrictly(document, source);
  const pugi::xml_node root = document.document_element();
  if (!root) FailAtOffset(source, source.text.size(), "no root element");
  if (std::string_view(root.name()) != "svg") {
    SvgElement(root, source).Fail(std::string("root element is <") + root.name() + ">, not <svg>");
  }
  return layout;
}

// Calls `visit` for every element below `node`, in document order. Without
// recursion: a document may nest deeper than the stack would allow.
template <typename Visit>
void ForEachElementBelow(pugi::xml_node node, Visit visit) {
  struct Walker : pugi::xml_tree_walker {
    explicit Walker(Visit& visit) : visit(visit) {}
    bool for_each(pugi::xml_node& child) override {
      if (child.type() == pugi::node_element) visit(child);
      return true;
    }
    Visit& visit;
  } walker(visit);
  node.traverse(walker);
}

// Elements in document order (which is paint order), and by id: the id's
// value, references decoded, as Inkscape names the selected objects.
class DocumentIndex {
 public:
  explicit DocumentIndex(pugi::xml_node root) {
    Add(root);
    ForEachElementBelow(root, [this](pugi::xml_node node) { Add(node); });
  }
  int Order(pugi::xml_node node) const { return order_.at(node.internal_object()); }
  pugi::xml_node Find(const std::string& id) const {
    const auto found = ids_.find(id);
    return found == ids_.end() ? pugi::xml_node() : found->second;
  }
  bool HasId(const std::string& id) const { return ids_.count(id) != 0; }
  pugi::xml_node At(int order) const { return nodes_.at(static_cast<std::size_t>(order)); }
  int size() const { return static_cast<int>(nodes_.size()); }

 private:
  void Add(pugi::xml_node node) {
    order_.emplace(node.internal_object(), static_cast<int>(nodes_.size()));
    nodes_.push_back(node);
    const std::string id = DecodeEntities(node.attribute("id").value());
    if (!id.empty()) ids_.emplace(id, node);
  }
  std::unordered_map<pugi::xml_node_struct*, int> order_;
  std::unordered_map<std::string, pugi::xml_node> ids_;
  std::vector<pugi::xml_node> nodes_;
};

class SelectionEdit {
 public:
  explicit SelectionEdit(const SelectionEffectRequest& request)
      : request_(request), source_{request.text, request.name} {}

  std::string Run() {
    ReadDocument();
    const DocumentIndex index(root_);

    const std::vector<pugi::xml_node> art = SelectedArt(index);
    if (art.empty()) throw SvgError(request_.name, "the drawing holds nothing to apply the effect to");
    const pugi::xml_node topmost = art.back();
    const SvgMatrix placeMatrix = ParentMatrix(topmost);
    SvgMatrix toPlace;
    if (!Invert(placeMatrix, &toPlace)) {
      SvgElement(topmost, source_).Fail("the groups around the selection flatten it (no inverse transform)");
    }

    std::vector<pugi::xml_node> oldEffects;
    const Placed sources = TakeSources(art, toPlace, &oldEffects);
    pugi::xml_node effect = topmost.parent().insert_child_before("g", topmost);
    pugi::xml_node kept = effect.append_child("g");
    MoveSources(sources, kept);
    NameGroups(effect, kept, oldEffects, index);
    for (pugi::xml_node old : oldEffects) old.parent().remove_child(old);
    AddOutlineAt(effect, kept, placeMatrix);
    return ResultText();
  }

 private:
  // Elements with the transform that keeps each where it was drawn.
  using Placed = std::vector<std::pair<pugi::xml_node, SvgMatrix>>;

  // Parses the document, and reads the whole of it as `apply` reads it, so
  // that a fault anywhere in it is reported at its place in the file.
  void ReadDocument() {
    layout_ = Parse(document_, source_);
    root_ = document_.document_element();
    {
      standin::ArtStore store;
      store.Dispose(ParseSvg(request_.text, request_.name, store).root);
    }
    RequoteAttributes(root_);
  }

  // The sources, taken before anything moves: the selected objects and the
  // kept sources of the selected effect groups (which go into
  // *oldEffects), each with the transform that keeps it where it was drawn
  // once it sits where `toPlace` maps to.
  Placed TakeSources(const std::vector<pugi::xml_node>& art, const SvgMatrix& toPlace,
                     std::vector<pugi::xml_node>* oldEffects) const {
    Placed sources;
    for (const pugi::xml_node node : art) {
      if (!IsGroup(node, kEffectClass)) {
        sources.emplace_back(node, toPlace * ParentMatrix(node));
        continue;
      }
      oldEffects->push_back(node);
      for (pugi::xml_node kept : node.children()) {
        if (!IsGroup(kept, kSourcesClass)) continue;
        for (pugi::xml_node source : kept.children()) {
          if (source.type() == pugi::node_element)
            sources.emplace_back(source, toPlace * ParentMatrix(source));
        }
      }
    }
    return sources;
  }

  // Moves each source into `kept`, with its transform in front of its own.
  static void MoveSources(const Placed& sources, pugi::xml_node kept) {
    for (auto [node, matrix] : sources) {
      if (!NearIdentity(matrix)) {
        pugi::xml_attribute transform = node.attribute("transform");
        if (!transform) transform = node.append_attribute("transform");
        const std::string own = transform.value();
        transform.set_value((MatrixText(matrix) + (own.empty() ? "" : " " + own)).c_str());
      }
      // The line break and indent in front of a moved source go with it.
      const pugi::xml_node space = node.previous_sibling();
      if (space.type() == pugi::node_pcdata && IsBlank(space.value())) space.parent().remove_child(space);
      kept.append_move(node);
    }
  }

  // The outline's coordinates are those of the root's content (the importer
  // applies the root's transform too); inside the effect group, placed where
  // `placeMatrix` maps to, they take the inverse of everything above it.
  void AddOutlineAt(pugi::xml_node effect, pugi::xml_node kept, const SvgMatrix& placeMatrix) {
    const SvgMatrix rootMatrix = OwnTransform(root_);
    SvgMatrix fromRoot;
    if (!Invert(rootMatrix * placeMatrix, &fromRoot)) {
      SvgElement(root_, source_).Fail("the drawing's transform flattens it (no inverse)");
    }
    AddOutline(effect, kept, fromRoot);
  }

  SvgMatrix OwnTransform(pugi::xml_node node) const {
    const SvgElement element(node, source_);
    if (!element.Has("transform")) return SvgMatrix{};
    try {
      return ParseTransform(element.Value("transform"));
    } catch (const SvgDataError& error) {
      element.FailInValue("transform", error);
    }
  }

  // The transforms of the groups between the root and `node`, outermost
  // first. Only groups (and links, which Inkscape treats as groups) hold
  // drawn objects; anything inside another element (defs, symbol, ...) is not
  // part of the drawing.
  SvgMatrix ParentMatrix(pugi::xml_node node) const {
    SvgMatrix matrix;
    for (pugi::xml_node up = node.parent(); up != root_; up = up.parent()) {
      const std::string_view name = up.name();
      if (name != "g" && name != "a") {
        SvgElement(node, source_)
            .Fail("the object lies inside <" + std::string(name) + ">, not in the drawing's groups");
      }
      matrix = OwnTransform(up) * matrix;
    }
    return matrix;
  }

  // The selected elements (an effect group for anything inside one), none
  // inside another, in paint order.
  std::vector<pugi::xml_node> SelectedArt(const DocumentIndex& index) const {
    std::vector<pugi::xml_node> art;
    if (request_.ids.empty()) {
      CollectDrawing(index, art);
    } else {
      for (const std::string& id : request_.ids) {
        pugi::xml_node node = index.Find(id);
        if (!node) throw SvgError(request_.name, "no object has the id \"" + id + "\"");
        if (node == root_)
          throw SvgError(request_.name, "\"" + id + "\" is the drawing itself, not an object in it");
        for (pugi::xml_node up = node; up && up != root_; up = up.parent()) {
          if (IsGroup(up, kEffectClass)) node = up;
        }
        art.push_back(node);
      }
    }
    std::set<pugi::xml_node_struct*> chosen;
    for (pugi::xml_node node : art) chosen.insert(node.internal_object());
    std::vector<pugi::xml_node> outermost;
    for (pugi::xml_node node : art) {
      bool inside = false;
      for (pugi::xml_node up = node.parent(); up && !inside; up = up.parent()) {
        inside = chosen.count(up.internal_object()) != 0;
      }
      if (!inside) outermost.push_back(node);
    }
    std::sort(outermost.begin(), outermost.end(),
              [&](pugi::xml_node a, pugi::xml_node b) { return index.Order(a) < index.Order(b); });
    outermost.erase(std::unique(outermost.begin(), outermost.end()), outermost.end());
    return outermost;
  }

  // The whole drawing: in the root and in visible layers, each object (a
  // shape, or a group as a whole) that holds a path the effect takes as a
  // circle, and every effect group. Open lines, text, images and the like,
  // which the effect passes over, stay where they are.
  void CollectDrawing(const DocumentIndex& index, std::vector<pugi::xml_node>& art) const {
    const std::set<int> circles = EffectSourceElements();
    std::set<pugi::xml_node_struct*> taken;
    for (const int order : circles) {
      pugi::xml_node node = index.At(order);
      while (node.parent() != root_ && !IsLayer(node.parent())) node = node.parent();
      if (taken.insert(node.internal_object()).second) art.push_back(node);
    }
    CollectEffects(root_, art, taken);
  }

  static void CollectEffects(pugi::xml_node parent, std::vector<pugi::xml_node>& art,
                             std::set<pugi::xml_node_struct*>& taken) {
    for (pugi::xml_node child : parent.children()) {
      if (child.type() != pugi::node_element || IsHidden(child)) continue;
      if (IsGroup(child, kEffectClass)) {
        if (taken.insert(child.internal_object()).second) art.push_back(child);
      } else if (IsLayer(child)) {
        CollectEffects(child, art, taken);
      }
    }
  }

  // The document order of the elements the importer turns into paths the
  // effect takes as circles: a copy of the document with every element
  // numbered in an attribute of its own, which the importer keeps.
  std::set<int> EffectSourceElements() const {
    pugi::xml_document numbered;
    numbered.reset(document_);
    const DocumentIndex copy(numbered.document_element());
    for (int order = 0; order < copy.size(); ++order) {
      copy.At(order).append_attribute(kOrderAttribute).set_value(order);
    }
    standin::ArtStore store;
    const SvgDrawing drawing = ParseSvg(DocumentText(numbered), request_.name, store);
    std::set<int> found;
    FindEffectSources(*drawing.root, found);
    store.Dispose(drawing.root);
    return found;
  }

  static void FindEffectSources(const ArtObject& art, std::set<int>& found) {
    if (IsEffectSource(art)) {
      for (const auto& [name, value] : art.source->attributes) {
        if (name == kOrderAttribute) found.insert(std::atoi(value.c_str()));
      }
    }
    if (art.type != kArtTypeGroup) return;
    for (const ArtObject* child : art.children) FindEffectSources(*child, found);
  }

  // A re-run of one effect group keeps its ids; otherwise the first free
  // "morvelin-effect", "morvelin-effect-2", ...
  void NameGroups(pugi::xml_node effect, pugi::xml_node kept, const std::vector<pugi::xml_node>& oldEffects,
                  const DocumentIndex& index) const {
    std::string effectId;
    std::string keptId;
    if (oldEffects.size() == 1) {
      effectId = oldEffects[0].attribute("id").value();
      for (pugi::xml_node child : oldEffects[0].children()) {
        if (IsGroup(child, kSourcesClass)) keptId = child.attribute("id").value();
      }
    }
    if (effectId.empty()) effectId = FreeId(index, kEffectClass);
    if (keptId.empty()) {
      // "morvelin-sources-2" beside "morvelin-effect-2".
      const std::string_view base = kEffectClass;
      const bool numbered = effectId.size() > base.size() && effectId.compare(0, base.size(), base) == 0;
      keptId = FreeId(index, kSourcesClass, numbered ? effectId.substr(base.size()) : "");
    }
    effect.append_attribute("id").set_value(effectId.c_str());
    effect.append_attribute("class").set_value(kEffectClass);
    effect.append_attribute("data-morvelin-viscosity").set_value(std::to_string(request_.viscosity).c_str());
    kept.append_attribute("id").set_value(keptId.c_str());
    kept.append_attribute("class").set_value(kSourcesClass);
    kept.append_attribute("style").set_value("display:none");
  }

  static std::string FreeId(const DocumentIndex& index, const std::string& base,
                            const std::string& first = "") {
    std::string id = base + first;
    for (int n = 2; index.HasId(id); ++n) id = base + "-" + std::to_string(n);
    return id;
  }

  // The art the importer reads: the root (its attributes), the style sheets,
  // the groups above the effect group (their attributes, for transforms and
  // inherited paint) and the sources, shown.
  std::string ArtDocument(pugi::xml_node effect, pugi::xml_node kept) const {
    pugi::xml_document art;
    std::vector<pugi::xml_node> chain;
    for (pugi::xml_node up = effect; up != root_; up = up.parent()) chain.push_back(up);
    pugi::xml_node copy = art.append_child(root_.name());
    for (pugi::xml_attribute attribute : root_.attributes()) copy.append_copy(attribute);
    CopyStyleSheets(root_, copy);
    for (auto up = chain.rbegin(); up != chain.rend(); ++up) {
      copy = copy.append_child(up->name());
      for (pugi::xml_attribute attribute : up->attributes()) copy.append_copy(attribute);
    }
    pugi::xml_node shown = copy.append_copy(kept);
    shown.remove_attribute("style");
    return DocumentText(art);
  }

  static void CopyStyleSheets(pugi::xml_node node, pugi::xml_node into) {
    ForEachElementBelow(node, [into](pugi::xml_node element) mutable {
      if (std::string_view(element.name()) == "style") into.append_copy(element);
    });
  }

  void AddOutline(pugi::xml_node effect, pugi::xml_node kept, const SvgMatrix& fromRoot) const {
    EffectSession session;
    if (session.startup() != kHostNoError) {
      throw EffectFailure("the plug-in did not start: " + CodeForPeople(session.startup()));
    }
    standin::Host& host = session.host();
    try {
      session.LoadDrawingText(ArtDocument(effect, kept), request_.name);
    } catch (const SvgError& error) {
      throw SvgError(request_.name, std::string("in the effect's sources: ") + error.what());
    }
    int unnamed = 0;
    MarkUnnamed(session.drawing().root, unnamed);

    standin::EffectApplication& application = session.ApplyEffect(static_cast<float>(request_.viscosity));
    const HostError result = host.effects().Execute(application);
    if (result != kHostNoError) throw EffectFailure(FailureText(host, result));

    // After a unite the outlines are the objects it made (without names);
    // without one (fewer than two circles, or no bridge) they are the
    // circles themselves.
    std::vector<const ArtObject*> outlines;
    FindOutlines(*session.Shown(application).root, host.unite().calls() > 0, outlines);
    if (outlines.empty()) {
      throw SvgError(request_.name, "the selection holds no closed, filled or stroked path for the effect");
    }

    // The outlines are written by the exporter as a drawing of their own,
    // built in memory: such a drawing is written whole, in the art's
    // coordinates, which are the root's.
    standin::ArtStore& store = host.art();
    SvgDrawing alone;
    alone.source = request_.name;
    alone.root = store.NewGroup(nullptr);
    for (const ArtObject* outline : outlines) {
      ArtObject* copy = store.Copy(outline);
      copy->SetName({});
      store.Place(copy, kPlaceInsideOnTop, alone.root);
    }
    const std::string written = ExportSvg(alone);
    store.Dispose(alone.root);
    pugi::xml_document exported;
    Parse(exported, SvgSource{written, request_.name});
    for (pugi::xml_node path : exported.document_element().children()) {
      if (path.type() != pugi::node_element) continue;
      pugi::xml_node outline = effect.insert_copy_before(path, kept);
      CleanOutline(outline, fromRoot);
    }
  }

  // The unite's refusals in the person's terms; other codes as the host
  // names them.
  static std::string FailureText(standin::Host& host, HostError result) {
    std::string text = "the effect failed (" + CodeForPeople(result) + ")";
    if (host.unite().calls() == 0 || host.unite().lastCall().result != result) return text;
    if (result == kHostErrBadParameter) {
      return text +
             ": the shapes lie beyond the coordinates the unite accepts (1,000,000 units from the origin)";
    }
    if (result == kHostErrRange) return text + ": the united outline would have too many points";
    return text;
  }

  static void MarkUnnamed(ArtObject* art, int& count) {
    if (art->source->name.empty()) art->SetName(std::string(kUnnamedMark) + std::to_string(++count));
    for (ArtObject* child : art->children) MarkUnnamed(child, count);
  }

  // What the effect takes as a circle: a closed path (not inside a compound
  // path), filled or stroked, neither a guide nor a clipping path.
  static bool IsEffectSource(const ArtObject& art) {
    return art.type == kArtTypePath && art.closed && !art.guide && !art.clip &&
           (art.parent == nullptr || art.parent->type != kArtTypeCompoundPath) &&
           (art.style->fillPaint != 0 || art.style->strokePaint != 0);
  }

  // The outline objects, in paint order; the contours of a compound path
  // are part of it.
  static void FindOutlines(const ArtObject& art, bool united, std::vector<const ArtObject*>& outlines) {
    const bool path = art.type == kArtTypePath || art.type == kArtTypeCompoundPath;
    if (united ? path && art.source->name.empty() : IsEffectSource(art)) {
      outlines.push_back(&art);
    } else if (art.type == kArtTypeGroup) {
      for (const ArtObject* child : art.children) FindOutlines(*child, united, outlines);
    }
  }

  // An outline keeps its path data and paint; the marks, and the editor's
  // own attributes a copied circle would carry (which would make Inkscape
  // redraw it as that circle), go.
  static void CleanOutline(pugi::xml_node outline, const SvgMatrix& fromRoot) {
    const std::string classes = outline.attribute("class").value();
    std::vector<std::string> dropped;
    for (pugi::xml_attribute attribute : outline.attributes()) {
      const std::string_view name = attribute.name();
      if (name == "id" || name == "class" || name == "transform" ||
          name.find(':') != std::string_view::npos) {
        dropped.emplace_back(name);
      }
    }
    for (const std::string& name : dropped) outline.remove_attribute(name.c_str());
    std::istringstream words(classes);
    std::string word;
    std::string kept;
    while (words >> word) {
      if (word != kOutlineClass) kept += word + " ";
    }
    outline.prepend_attribute("class").set_value((kept + kOutlineClass).c_str());
    if (!NearIdentity(fromRoot))
      outline.append_attribute("transform").set_value(MatrixText(fromRoot).c_str());
  }

  // The source's bytes before the root element (declaration, comments,
  // doctype, the line breaks between them), then the edited root, then the
  // source's bytes after the root's end (white space, comments, processing
  // instructions), where the parse found them.
  std::string ResultText() const {
    std::ostringstream out;
    out << source_.text.substr(0, layout_.rootStart);
    root_.print(out, "", kPrintOptions, pugi::encoding_utf8);
    out << source_.text.substr(layout_.rootEnd);
    return out.str();
  }

  const SelectionEffectRequest& request_;
  SvgSource source_;
  pugi::xml_document document_;
  XmlLayout layout_;
  pugi::xml_node root_;
};

}  // namespace

std::string ApplyEffectToSelection(const SelectionEffectRequest& request) {
  return SelectionEdit(request).Run();
}

}  // namespace morvelin
