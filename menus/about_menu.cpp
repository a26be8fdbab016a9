#include "menus/about_menu.h"

#include "menus/sdk_about_plugins_helper.h"
#include "plugin/host_unicode_string.h"
#include "plugin/plugin_globals.h"
#include "plugin/suite_table.h"
#include "resources/resource_texts.h"

namespace {

// The maker's About submenu, shared by every plug-in that uses this group
// name: found by its name, made by the first of them to start.
const char kMakerGroupName[] = "AboutTessikPlugIns";
const char kMakerGroupTitle[] = "About Tessik plug-ins";

bool IsAboutItem(MenuItemHandle item) {
  // No item was added when its registration failed; a null item is never ours.
  return item != nullptr && item == gGlobals->aboutMenuItem;
}

}  // namespace

const char kAboutTitle[] = "About Morvelin";
const char kAboutText[] = MORVELIN_PRODUCT_NAME
    " " MORVELIN_VERSION_TEXT
    "\\n\\nA live effect that joins circles with smooth bridges and unites them into one outline."
    "\\n\\nhttps://tessik.example/morvelin\\n" MORVELIN_COPYRIGHT;

HostError RegisterAboutMenuItem(SPMessageData* message) {
  gGlobals->aboutMenuItem = nullptr;
  SDKAboutPluginsHelper about;
  const HostUnicodeString groupTitle(kMakerGroupTitle, kPlatformEncoding);
  return about.AddAboutItem(message, kMakerGroupName, groupTitle, MORVELIN_PLUGIN_NAME,
                            &gGlobals->aboutMenuItem);
}

HostError HandleAboutCommand(MenuMessage* message) {
  const HostError error = AcquireAllSuites(message->d.basic);
  if (error == kHostNoError && IsAboutItem(message->menuItem)) {
    SDKAboutPluginsHelper about;
    about.ShowAboutBox(&message->d, kAboutTitle, kAboutText);
  }
  ReleaseAllSuites(message->d.basic);  // the About box was shown or not; nothing more to report
  return error;
}
