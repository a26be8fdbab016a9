// The plug-in's resources as the host reads them: the string table and the
// dialog templates. The host fills the table when it loads the plug-in (the
// morvelin tool and the tests call LoadPluginResources of cli/); the ADM Basic
// suite reads strings from it and the dialog toolkit builds dialogs from it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

// Class atoms of the predefined window classes a template may name.
enum : uint16_t { kClassAtomButton = 0x0080, kClassAtomStatic = 0x0082 };

// A rectangle of a dialog template in dialog units.
struct DialogRect {
  int16_t x = 0;
  int16_t y = 0;
  int16_t width = 0;
  int16_t height = 0;
};

// One control of a dialog template.
struct DialogItemTemplate {
  int32_t id = 0;
  // The class atom (kClassAtomButton, kClassAtomStatic), or 0 when the class
  // is given by name only.
  uint16_t classAtom = 0;
  // The class name: "Button" and "Static" for the two atoms, otherwise the
  // name the template gives (e.g. "ADM Slider Type").
  std::string className;
  std::string text;
  DialogRect rect;
  // Window style bits, including WS_CHILD and WS_VISIBLE; the low 16 bits
  // are the class's own style (button style, static alignment).
  uint32_t style = 0;
};

// A dialog template: the window and its items in template order.
struct DialogTemplate {
  int32_t id = 0;
  std::string caption;
  DialogRect rect;
  int32_t fontSize = 0;
  std::string fontName;
  uint32_t style = 0;
  std::vector<DialogItemTemplate> items;

  // The item with `itemID`, or null.
  const DialogItemTemplate* FindItem(int32_t itemID) const;
};

class ResourceTable {
 public:
  // Adds string `id`, replacing one already there.
  void AddString(int32_t id, std::string text);
  // Removes string `id`; nothing happens when there is none.
  void RemoveString(int32_t id);
  // String `id`, or null when the table has none. The pointer stays valid
  // until the string is replaced or removed.
  const std::string* FindString(int32_t id) const;

  // Adds a dialog template under its id, replacing one already there. Returns
  // false and keeps the table as it was when two items share an ID, since the
  // toolkit finds items by ID.
  bool SetDialog(DialogTemplate dialog);
  // Dialog template `id`, or null. Valid until it is replaced.
  const DialogTemplate* FindDialog(int32_t id) const;

  // True when nothing has been loaded.
  bool Empty() const { return strings_.empty() && dialogs_.empty(); }

 private:
  std::map<int32_t, std::string> strings_;
  std::map<int32_t, DialogTemplate> dialogs_;
};

}  // namespace standin
