// The small part of CSS that drawings use for paint: `style` attributes and
// `<style>` sheets with simple selectors (as Illustrator writes them).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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
class StyleSheet {
 public:
  void AddRules(std::string_view css);
  bool empty() const { return rules_.empty(); }

  // The declarations of the rules matching an element with this name, id and
  // class attribute, in cascade order: lowest specificity first, then in the
  // order the rules were added. Later ones win.
  std::vector<CssDeclaration> DeclarationsFor(std::string_view element, std::string_view id,
                                              std::string_view classes) const;

 private:
  struct Rule {
    std::string element;  // empty: any element
    std::string id;       // empty: any id
    std::vector<std::string> classes;
    int specificity = 0;
    std::vector<CssDeclaration> declarations;
  };
  bool AddSelector(std::string_view selector, const std::vector<CssDeclaration>& declarations);

  std::vector<Rule> rules_;
};

}  // namespace morvelin
