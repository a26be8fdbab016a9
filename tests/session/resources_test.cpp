// The stand-in's resource table and the plug-in resources loaded into it.
#include <gtest/gtest.h>

#include "cli/session/plugin_resources.h"
#include "standin/core/resource_table.h"

namespace {

using standin::DialogItemTemplate;
using standin::DialogTemplate;
using standin::ResourceTable;

TEST(ResourceTable, StringsAreAddedReplacedAndRemovedById) {
  ResourceTable table;
  EXPECT_TRUE(table.Empty());
  EXPECT_EQ(table.FindString(16001), nullptr);

  table.AddString(16001, "first");
  table.AddString(16001, "second");
  ASSERT_NE(table.FindString(16001), nullptr);
  EXPECT_EQ(*table.FindString(16001), "second");
  EXPECT_EQ(table.FindString(16000), nullptr);

  table.RemoveString(16001);
  table.RemoveString(16001);  // removing a missing string is harmless
  EXPECT_EQ(table.FindString(16001), nullptr);
}

TEST(ResourceTable, RejectsADialogWhoseItemsShareAnId) {
  ResourceTable table;
  DialogTemplate dialog;
  dialog.id = 16000;
  dialog.caption = "kept";
  dialog.items.resize(2);
  dialog.items[0].id = 1;
  dialog.items[1].id = 2;
  ASSERT_TRUE(table.SetDialog(dialog));

  DialogTemplate clash = dialog;
  clash.caption = "clash";
  clash.items[1].id = 1;
  EXPECT_FALSE(table.SetDialog(clash));
  ASSERT_NE(table.FindDialog(16000), nullptr);
  EXPECT_EQ(table.FindDialog(16000)->caption, "kept");
  EXPECT_EQ(table.FindDialog(16001), nullptr);
}

TEST(PluginResources, StringListIndexIsIdOffset) {
  ResourceTable table;
  morvelin::LoadPluginResources(table);
  const int32_t list = 16000;
  const char* const expected[] = {"<First Mac index is 1>", "Tessik plug-ins", "Morvelin"};
  for (int32_t index = 0; index < 3; ++index) {
    const std::string* text = table.FindString(list + index);
    ASSERT_NE(text, nullptr) << "index " << index;
    EXPECT_EQ(*text, expected[index]);
  }
  // The rest of the block is empty.
  EXPECT_EQ(table.FindString(list + 3), nullptr);
}

TEST(PluginResources, EditParametersDialogTemplate) {
  ResourceTable table;
  morvelin::LoadPluginResources(table);
  const DialogTemplate* dialog = table.FindDialog(16000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->caption, "Morvelin");
  EXPECT_EQ(dialog->rect.x, 0);
  EXPECT_EQ(dialog->rect.y, 0);
  EXPECT_EQ(dialog->rect.width, 150);
  EXPECT_EQ(dialog->rect.height, 76);
  EXPECT_EQ(dialog->fontSize, 8);
  EXPECT_EQ(dialog->fontName, "MS Sans Serif");
  // WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
  EXPECT_EQ(dialog->style, 0x90C800C0u);

  struct Expected {
    int32_t id;
    uint16_t atom;
    const char* className;
    const char* text;
    int16_t x, y, width, height;
    uint32_t style;
  };
  // WS_CHILD | WS_VISIBLE = 0x50000000; WS_TABSTOP 0x10000, WS_GROUP 0x20000.
  const Expected expected[] = {
      {1, 0x80, "Button", "OK", 80, 52, 43, 12, 0x50010001u},
      {2, 0x80, "Button", "Cancel", 30, 52, 43, 12, 0x50010000u},
      {3, 0x82, "Static", "viscosity", 16, 14, 36, 9, 0x50020002u},
      {4, 0x82, "Static", "", 52, 14, 20, 9, 0x50020002u},
      {5, 0, "ADM Slider Type", "Custom1", 80, 17, 50, 6, 0x50010000u},
      {6, 0x80, "Button", "preview", 48, 32, 45, 12, 0x50010003u},
      {7, 0x82, "Static", "", 93, 34, 25, 9, 0x50020000u},
  };
  ASSERT_EQ(dialog->items.size(), 7u);
  for (size_t i = 0; i < dialog->items.size(); ++i) {
    const DialogItemTemplate& item = dialog->items[i];
    const Expected& want = expected[i];
    SCOPED_TRACE(want.text);
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(item.classAtom, want.atom);
    EXPECT_EQ(item.className, want.className);
    EXPECT_EQ(item.text, want.text);
    EXPECT_EQ(item.rect.x, want.x);
    EXPECT_EQ(item.rect.y, want.y);
    EXPECT_EQ(item.rect.width, want.width);
    EXPECT_EQ(item.rect.height, want.height);
    EXPECT_EQ(item.style, want.style);
    EXPECT_EQ(dialog->FindItem(want.id), &item);
  }
  EXPECT_EQ(dialog->FindItem(8), nullptr);
}

}  // namespace
