#include "menus/sdk_about_plugins_helper.h"

#include <cstring>

#include "plugin/host_unicode_string.h"

namespace {

// A host string with `text` in the platform encoding, made as a copy of a
// temporary one: the host sees the temporary made, copied and disposed of
// before the copy is used.
HostUnicodeString CopyOfText(const char* text) {
  const HostUnicodeString made(text, kPlatformEncoding);
  return HostUnicodeString(made);
}

}  // namespace

SDKAboutPluginsHelper::~SDKAboutPluginsHelper() {
  ReleaseMenuSuite();
  ReleaseADMBasicSuite();
}

HostError SDKAboutPluginsHelper::AddAboutItem(SPMessageData* message, const char* groupName,
                                              const HostUnicodeString& groupTitle, const char* itemText,
                                              MenuItemHandle* outItem) {
  HostError error = kHostNoError;
  if (fMenuSuite == nullptr) error = AcquireMenuSuite(message);
  bool found = false;
  if (error == kHostNoError) error = FindMenuGroup(groupName, &found);
  if (error == kHostNoError && !found) error = AddMakerGroup(message, groupName, groupTitle);
  if (error == kHostNoError) error = AddItemToGroup(message, groupName, itemText, outItem);
  ReleaseMenuSuite();
  return error;
}

HostError SDKAboutPluginsHelper::FindMenuGroup(const char* groupName, bool* outFound) {
  *outFound = false;
  if (fMenuSuite == nullptr) return kHostErrSuiteNotFound;
  int32_t count = 0;
  HostError error = fMenuSuite->CountMenuGroups(&count);
  if (error != kHostNoError) return error;
  for (int32_t index = 0; index < count; ++index) {
    MenuGroupHandle group = nullptr;
    error = fMenuSuite->GetNthMenuGroup(index, &group);
    if (error != kHostNoError) return error;
    const char* name = nullptr;
    error = fMenuSuite->GetMenuGroupName(group, &name);
    if (error != kHostNoError) return error;
    if (name != nullptr && std::strcmp(name, groupName) == 0) {
      *outFound = true;
      break;
    }
  }
  return kHostNoError;
}

void SDKAboutPluginsHelper::ShowAboutBox(SPMessageData* message, const char* title, const char* text) {
  if (fADMBasicSuite == nullptr && AcquireADMBasicSuite(message) != kHostNoError) return;
  fADMBasicSuite->AboutBox(title, text);
  ReleaseADMBasicSuite();
}

HostError SDKAboutPluginsHelper::AddMakerGroup(SPMessageData* message, const char* groupName,
                                               const HostUnicodeString& groupTitle) {
  // The record's item text is a copy of the title, disposed of with the record.
  const HostUnicodeString rootText(groupTitle);
  const MenuItemInfo rootInfo = {kAboutMenuGroup, rootText.handle()};
  MenuItemHandle rootItem = nullptr;
  HostError error = fMenuSuite->AddMenuItem(message->self, nullptr, &rootInfo, 0, &rootItem);
  if (error == kHostNoError) {
    MenuGroupHandle group = nullptr;  // the host keeps the group; it is found by name
    error = fMenuSuite->AddMenuGroupAsSubMenu(groupName, kMenuGroupSortedAlphabetically, rootItem, &group);
  }
  return error;
}

HostError SDKAboutPluginsHelper::AddItemToGroup(SPMessageData* message, const char* groupName,
                                                const char* itemText, MenuItemHandle* outItem) {
  const HostUnicodeString text = CopyOfText(itemText);
  const MenuItemInfo info = {groupName, text.handle()};
  MenuItemHandle item = nullptr;
  const HostError error = fMenuSuite->AddMenuItem(message->self, nullptr, &info, 0, &item);
  if (error == kHostNoError) *outItem = item;
  return error;
}

HostError SDKAboutPluginsHelper::AcquireMenuSuite(SPMessageData* message) {
  const void* suite = nullptr;
  const HostError error = message->basic->AcquireSuite(kMenuSuite, kMenuSuiteVersion, &suite);
  if (error != kHostNoError) return error;
  fMenuSuite = static_cast<const MenuSuite*>(suite);
  fMenuBasic = message->basic;
  return kHostNoError;
}

void SDKAboutPluginsHelper::ReleaseMenuSuite() {
  if (fMenuSuite == nullptr) return;
  fMenuBasic->ReleaseSuite(kMenuSuite, kMenuSuiteVersion);  // nothing to do about a failure
  fMenuSuite = nullptr;
  fMenuBasic = nullptr;
}

HostError SDKAboutPluginsHelper::AcquireADMBasicSuite(SPMessageData* message) {
  const void* suite = nullptr;
  const HostError error = message->basic->AcquireSuite(kADMBasicSuite, kADMBasicSuiteVersion, &suite);
  if (error != kHostNoError) return error;
  fADMBasicSuite = static_cast<const ADMBasicSuite*>(suite);
  fADMBasic = message->basic;
  return kHostNoError;
}

void SDKAboutPluginsHelper::ReleaseADMBasicSuite() {
  if (fADMBasicSuite == nullptr) return;
  fADMBasic->ReleaseSuite(kADMBasicSuite, kADMBasicSuiteVersion);  // nothing to do about a failure
  fADMBasicSuite = nullptr;
  fADMBasic = nullptr;
}
