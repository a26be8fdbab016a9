// SDKAboutPluginsHelper: puts a plug-in's item into its maker's shared About
// submenu and shows an About box.
//
// The object holds "AI Menu Suite" and "ADM Basic Suite" only for the length
// of one operation: each operation acquires the suite it needs through the
// message's basic suite when it does not hold it yet, and releases it before
// it returns. These acquisitions come on top of the suite table's. A fresh
// object is made on the stack for each use.
#pragma once

#include "host_api/host_api.h"

class HostUnicodeString;

class SDKAboutPluginsHelper {
 public:
  SDKAboutPluginsHelper() = default;
  SDKAboutPluginsHelper(const SDKAboutPluginsHelper&) = delete;
  SDKAboutPluginsHelper& operator=(const SDKAboutPluginsHelper&) = delete;

  // Releases any suite the object still holds. That happens only when an
  // exception left an operation early; then no acquisition outlives the object.
  virtual ~SDKAboutPluginsHelper();

  // Adds the item `itemText` to the menu group `groupName`. When no group of
  // that name exists yet, first adds a root item titled `groupTitle` to the
  // host's "About" group and hangs a new group `groupName` from it. On
  // success the new item's handle goes to *outItem. Returns 0 or the first
  // failing host code; whatever was added before a failure stays. Throws
  // ai::Error when the host cannot make a string.
  HostError AddAboutItem(SPMessageData* message, const char* groupName, const HostUnicodeString& groupTitle,
                         const char* itemText, MenuItemHandle* outItem);

  // Looks for a menu group named exactly `groupName` (case-sensitive), asking
  // the groups for their names in index order and stopping at the first
  // match. *outFound is false unless one is found. Needs the menu suite held.
  // Returns 0 or the first failing host code.
  HostError FindMenuGroup(const char* groupName, bool* outFound);

  // Shows the host's About box with `title` and `text`. Shows nothing, and
  // reports nothing, when "ADM Basic Suite" cannot be acquired.
  void ShowAboutBox(SPMessageData* message, const char* title, const char* text);

 private:
  // Adds the root item `groupTitle` to the host's "About" group and hangs the
  // new group `groupName` from it.
  HostError AddMakerGroup(SPMessageData* message, const char* groupName, const HostUnicodeString& groupTitle);
  // Adds the item `itemText` to the group `groupName`; its handle goes to
  // *outItem on success.
  HostError AddItemToGroup(SPMessageData* message, const char* groupName, const char* itemText,
                           MenuItemHandle* outItem);
  HostError AcquireMenuSuite(SPMessageData* message);
  void ReleaseMenuSuite();
  HostError AcquireADMBasicSuite(SPMessageData* message);
  void ReleaseADMBasicSuite();

  const MenuSuite* fMenuSuite = nullptr;
  const ADMBasicSuite* fADMBasicSuite = nullptr;
  // The basic suite each held suite came from, to hand it back to.
  SPBasicSuite* fMenuBasic = nullptr;
  SPBasicSuite* fADMBasic = nullptr;
};
