#include "cli/session/plugin_resources.h"

#include <cstdint>
#include <utility>

#include "resources/resource_texts.h"
#include "standin/core/resource_table.h"

namespace morvelin {

namespace {

standin::DialogItemTemplate MakeItem(int32_t id, uint16_t classAtom, const char* className, const char* text,
                                     standin::DialogRect rect, long style) {
  standin::DialogItemTemplate item;
  item.id = id;
  item.classAtom = classAtom;
  item.className = className;
  item.text = text;
  item.rect = rect;
  item.style = static_cast<uint32_t>(style);
  return item;
}

standin::DialogTemplate MakeEditParametersDialog() {
  using standin::DialogRect;
  using standin::kClassAtomButton;
  using standin::kClassAtomStatic;
  standin::DialogTemplate dialog;
  dialog.id = MORVELIN_DIALOG_ID;
  dialog.caption = MORVELIN_DIALOG_CAPTION;
  dialog.rect = DialogRect{MORVELIN_DIALOG_RECT};
  dialog.fontSize = MORVELIN_DIALOG_FONT_SIZE;
  dialog.fontName = MORVELIN_DIALOG_FONT;
  dialog.style = static_cast<uint32_t>(MORVELIN_DIALOG_STYLE);
  // Template order, as in the resource script.
  dialog.items = {
      MakeItem(MORVELIN_ITEM_OK_ID, kClassAtomButton, "Button", MORVELIN_ITEM_OK_TEXT,
               DialogRect{MORVELIN_ITEM_OK_RECT}, MORVELIN_ITEM_OK_STYLE),
      MakeItem(MORVELIN_ITEM_CANCEL_ID, kClassAtomButton, "Button", MORVELIN_ITEM_CANCEL_TEXT,
               DialogRect{MORVELIN_ITEM_CANCEL_RECT}, MORVELIN_ITEM_CANCEL_STYLE),
      MakeItem(MORVELIN_ITEM_LABEL_ID, kClassAtomStatic, "Static", MORVELIN_ITEM_LABEL_TEXT,
               DialogRect{MORVELIN_ITEM_LABEL_RECT}, MORVELIN_ITEM_LABEL_STYLE),
      MakeItem(MORVELIN_ITEM_VALUE_ID, kClassAtomStatic, "Static", MORVELIN_ITEM_VALUE_TEXT,
               DialogRect{MORVELIN_ITEM_VALUE_RECT}, MORVELIN_ITEM_VALUE_STYLE),
      MakeItem(MORVELIN_ITEM_SLIDER_ID, 0, MORVELIN_ITEM_SLIDER_CLASS, MORVELIN_ITEM_SLIDER_TEXT,
               DialogRect{MORVELIN_ITEM_SLIDER_RECT}, MORVELIN_ITEM_SLIDER_STYLE),
      MakeItem(MORVELIN_ITEM_PREVIEW_ID, kClassAtomButton, "Button", MORVELIN_ITEM_PREVIEW_TEXT,
               DialogRect{MORVELIN_ITEM_PREVIEW_RECT}, MORVELIN_ITEM_PREVIEW_STYLE),
      MakeItem(MORVELIN_ITEM_OPENING_ID, kClassAtomStatic, "Static", MORVELIN_ITEM_OPENING_TEXT,
               DialogRect{MORVELIN_ITEM_OPENING_RECT}, MORVELIN_ITEM_OPENING_STYLE),
  };
  return dialog;
}

}  // namespace

void LoadPluginResources(standin::ResourceTable& table) {
  table.AddString(MORVELIN_STR_PLACEHOLDER_ID, MORVELIN_STR_PLACEHOLDER);
  table.AddString(MORVELIN_STR_CATEGORY_ID, MORVELIN_STR_CATEGORY);
  table.AddString(MORVELIN_STR_EFFECT_NAME_ID, MORVELIN_STR_EFFECT_NAME);
  // The item IDs are distinct, so the table accepts the template.
  table.SetDialog(MakeEditParametersDialog());
}

}  // namespace morvelin
