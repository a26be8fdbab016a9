// The dialog template read from the compiled resource script, the bytes the
// DLL carries, against the one the native build loads from the same
// definitions: the same window, items, classes, texts and styles. Damaged
// bytes give nothing.
#include "standin/core/compiled_resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/session/plugin_resources.h"
#include "resources/resource_texts.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ExpectSameRect(const standin::DialogRect& a, const standin::DialogRect& b, const std::string& what) {
  EXPECT_EQ(a.x, b.x) << what;
  EXPECT_EQ(a.y, b.y) << what;
  EXPECT_EQ(a.width, b.width) << what;
  EXPECT_EQ(a.height, b.height) << what;
}

TEST(CompiledResources, DialogTemplateFromTheBytesIsTheOneTheHostLoads) {
  const std::vector<uint8_t> res = ReadFile(MORVELIN_RES_FILE);
  ASSERT_FALSE(res.empty()) << MORVELIN_RES_FILE;
  const auto bytes =
      standin::FindCompiledResource(res.data(), res.size(), standin::kResourceTypeDialog, MORVELIN_DIALOG_ID);
  ASSERT_TRUE(bytes.has_value());
  const auto read = standin::ReadDialogTemplate(*bytes, MORVELIN_DIALOG_ID);
  ASSERT_TRUE(read.has_value());

  standin::ResourceTable table;
  morvelin::LoadPluginResources(table);
  const standin::DialogTemplate& loaded = *table.FindDialog(MORVELIN_DIALOG_ID);
  EXPECT_EQ(read->caption, loaded.caption);
  EXPECT_EQ(read->style, loaded.style);
  EXPECT_EQ(read->fontSize, loaded.fontSize);
  EXPECT_EQ(read->fontName, loaded.fontName);
  ExpectSameRect(read->rect, loaded.rect, "dialog");
  ASSERT_EQ(read->items.size(), loaded.items.size());
  for (std::size_t i = 0; i < loaded.items.size(); ++i) {
    const standin::DialogItemTemplate& a = read->items[i];
    const standin::DialogItemTemplate& b = loaded.items[i];
    const std::string what = "item " + std::to_string(b.id);
    EXPECT_EQ(a.id, b.id) << what;
    EXPECT_EQ(a.classAtom, b.classAtom) << what;
    EXPECT_EQ(a.className, b.className) << what;
    EXPECT_EQ(a.text, b.text) << what;
    EXPECT_EQ(a.style, b.style) << what;
    ExpectSameRect(a.rect, b.rect, what);
  }

  // No other dialog; every cut of the template ends early.
  EXPECT_FALSE(
      standin::FindCompiledResource(res.data(), res.size(), standin::kResourceTypeDialog, 1).has_value());
  for (std::size_t size = 0; size < bytes->size() - 2; size += 2) {
    EXPECT_FALSE(standin::ReadDialogTemplate(std::vector<uint8_t>(bytes->begin(), bytes->begin() + size),
                                             MORVELIN_DIALOG_ID)
                     .has_value())
        << size;
  }
  // A header claiming more data than the file has.
  std::vector<uint8_t> damaged = res;
  damaged[32] = 0xFF;
  damaged[33] = 0xFF;
  EXPECT_FALSE(standin::FindCompiledResource(damaged.data(), damaged.size(), standin::kResourceTypeDialog,
                                             MORVELIN_DIALOG_ID)
                   .has_value());
}

}  // namespace
