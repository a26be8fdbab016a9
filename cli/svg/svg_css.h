// The small part of CSS that drawings use for paint: `style` attributes and
// `<style>` sheets with simple selectors (as Illustrator writes them).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace morvelin {

struct CssDeclaration {
  std::string name;   // lower case
  std::string value;  // trimmed, without "!important"
};

// The declarations of "name: value; name: value". Pieces without a name and
// a colon are skipped; comments are removed.
std::vector<CssDeclaration> ParseDeclarations(std::string_view text);

// Writes declarations back as "name:value;name:value".
std::string DeclarationsText(const std::vector<CssDeclaration>& declarations);

// Rules of style sheets. A selector is understood when it is one compound
// selector: an element name or "*", then any of #id and .class, e.g.
// "path.cls-1", ".st0", "#logo"; comma lists are split. Rules with any other
// selector, and @-rules, are ignored.
//
// Matching costs what the element's own id, classes and name index, not the
// size of the sheet: each selector is filed under its id, else its first
// class, else its element name. A selector that comes again with the same
// declarations is kept once, at its last place (where it wins). Rules with
// the same declarations share one copy of them.
class StyleSheet {
 public:
  // Bounds on what the sheets of one document may hold: rule blocks read,
  // and distinct selectors kept. What lies beyond them is ignored.
  static constexpr std::size_t kMaxRules = 10000;
  static constexpr std::size_t kMaxSelectors = 10000;

  void AddRules(std::string_view css);
  bool empty() const { return selectors_.empty(); }
  // True once a bound was reached and rules or selectors were ignored.
  bool truncated() const { return truncated_; }
  // Distinct selectors kept.
  std::size_t size() const { return selectors_.size(); }

  // The declarations of the rules matching an element with this name, id and
  // class attribute, in cascade order: lowest specificity first, then in the
  // order the rules were added. Later ones win. They point into the sheet
  // and stay valid while it lives and takes no more rules.
  std::vector<const CssDeclaration*> DeclarationsFor(std::string_view element, std::string_view id,
                                                     std::string_view classes) const;

 private:
  using Declarations = std::vector<CssDeclaration>;
  struct Selector {
    std::string element;  // empty: any element
    std::string id;       // empty: any id
    std::vector<std::string> classes;
    int specificity = 0;
    std::size_t order = 0;  // place in the sheets; later wins among equals
    const Declarations* declarations = nullptr;
  };
  // The declarations of one rule block, shared with every block that has
  // the same ones; the number tells the blocks' declarations apart.
  std::pair<const Declarations*, std::size_t> Intern(std::string_view block);
  void AddSelector(std::string_view selector, const Declarations* declarations, std::size_t block);

  std::vector<Selector> selectors_;
  std::vector<std::unique_ptr<const Declarations>> blocks_;
  std::unordered_map<std::string, std::size_t> blockIndex_;  // declarations text -> blocks_ index
  std::unordered_map<std::string, std::size_t> seen_;        // selector and block -> selectors_ index
  std::unordered_map<std::string, std::vector<std::size_t>> byId_, byClass_, byElement_;
  std::vector<std::size_t> anyElement_;
  std::size_t rulesRead_ = 0;
  std::size_t order_ = 0;
  bool truncated_ = false;
};

}  // namespace morvelin
