#include "menus/register_live_effect.h"

#include <cstring>

#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"
#include "resources/resource_texts.h"

namespace {

// Room for 64 characters and the terminating zero.
constexpr int32_t kIndexStringSize = 65;
constexpr int32_t kCategoryIndex = MORVELIN_STR_CATEGORY_ID - MORVELIN_STRING_LIST_ID;
constexpr int32_t kEffectNameIndex = MORVELIN_STR_EFFECT_NAME_ID - MORVELIN_STRING_LIST_ID;

// The registration record's fixed values.
constexpr int32_t kEffectMajorVersion = 9;
constexpr int32_t kEffectMinorVersion = 0;
constexpr int32_t kPrefersAsInput = 3;
constexpr int32_t kEffectStyleFlags = 2;

// Reads string `index` of the plug-in's string list into `buffer` (zeroed by
// the caller). The host's result is not examined: the strings are the
// plug-in's own, and an empty or failed fetch falls back to `builtIn`.
void FetchIndexString(PluginRef self, int32_t index, char (&buffer)[kIndexStringSize], const char* builtIn) {
  sADMBasic->GetIndexString(self, MORVELIN_STRING_LIST_ID, index, buffer, kIndexStringSize);
  buffer[kIndexStringSize - 1] = '\0';  // terminated even if the host filled every byte
  if (buffer[0] == '\0') std::strncpy(buffer, builtIn, kIndexStringSize - 1);
}

}  // namespace

HostError RegisterLiveEffect(SPMessageData* message) {
  char category[kIndexStringSize] = {};
  char name[kIndexStringSize] = {};
  FetchIndexString(message->self, kCategoryIndex, category, MORVELIN_STR_CATEGORY);
  FetchIndexString(message->self, kEffectNameIndex, name, MORVELIN_STR_EFFECT_NAME);

  LiveEffectInfo info{};
  info.self = message->self;
  info.name = name;
  info.title = name;  // the effect's display title is its name
  info.majorVersion = kEffectMajorVersion;
  info.minorVersion = kEffectMinorVersion;
  info.prefersAsInput = kPrefersAsInput;
  info.styleFlags = kEffectStyleFlags;
  HostError error = sLiveEffect->AddLiveEffect(&info, &gGlobals->effect);
  if (error != kHostNoError) return error;

  const LiveEffectMenuInfo menuInfo = {category, name, 0};
  MenuItemHandle menuItem = nullptr;  // not kept: the host updates it by itself
  error = sLiveEffect->AddLiveEffectMenuItem(gGlobals->effect, name, &menuInfo, &menuItem, nullptr);
  if (error != kHostNoError) return error;

  // Action 1 with art criterion 1; the host enables the item by itself from then on.
  return sMenu->UpdateMenuItemAutomatically(menuItem, 1, 0, 0, 1, 0, 0, 0);
}
