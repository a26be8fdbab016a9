#include "plugin/suite_table.h"

const SPBlocksSuite* sSPBlocks = nullptr;
const LiveEffectSuite* sLiveEffect = nullptr;
const ArtSuite* sArt = nullptr;
const RealMathSuite* sRealMath = nullptr;
const MenuSuite* sMenu = nullptr;
const PathSuite* sPath = nullptr;
const PathStyleSuite* sPathStyle = nullptr;
const ADMBasicSuite* sADMBasic = nullptr;
const ADMDialogSuite* sADMDialog = nullptr;
const ADMItemSuite* sADMItem = nullptr;
const DictionarySuite* sDictionary = nullptr;
const UnicodeStringSuite* sUnicodeString = nullptr;
const PathfinderSuite* sPathfinder = nullptr;
const ADMNotifierSuite* sADMNotifier = nullptr;
const ContextSuite* sContext = nullptr;

namespace {
template <typename Suite>
const void** Slot(const Suite*& slot) {
  return reinterpret_cast<const void**>(&slot);
}
}  // namespace

const HostSuiteEntry HostSuiteTable::kEntries[HostSuiteTable::kCount] = {
    {kSPBlocksSuite, kSPBlocksSuiteVersion, Slot(sSPBlocks)},
    {kLiveEffectSuite, kLiveEffectSuiteVersion, Slot(sLiveEffect)},
    {kArtSuite, kArtSuiteVersion, Slot(sArt)},
    {kRealMathSuite, kRealMathSuiteVersion, Slot(sRealMath)},
    {kMenuSuite, kMenuSuiteVersion, Slot(sMenu)},
    {kPathSuite, kPathSuiteVersion, Slot(sPath)},
    {kPathStyleSuite, kPathStyleSuiteVersion, Slot(sPathStyle)},
    {kADMBasicSuite, kADMBasicSuiteVersion, Slot(sADMBasic)},
    {kADMDialogSuite, kADMDialogSuiteVersion, Slot(sADMDialog)},
    {kADMItemSuite, kADMItemSuiteVersion, Slot(sADMItem)},
    {kDictionarySuite, kDictionarySuiteVersion, Slot(sDictionary)},
    {kUnicodeStringSuite, kUnicodeStringSuiteVersion, Slot(sUnicodeString)},
    {kPathfinderSuite, kPathfinderSuiteVersion, Slot(sPathfinder)},
    {kADMNotifierSuite, kADMNotifierSuiteVersion, Slot(sADMNotifier)},
    {kContextSuite, kContextSuiteVersion, Slot(sContext)},
};

HostError AcquireAllSuites(SPBasicSuite* basic) {
  HostError first = kHostNoError;
  for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) {
    // A slot still set holds a suite whose release the host refused at the
    // end of an earlier message. It is held already; acquiring it again would
    // leave one acquisition that no release ever returns.
    if (*entry.slot != nullptr) continue;
    const HostError error = basic->AcquireSuite(entry.name, entry.version, entry.slot);
    if (error != kHostNoError && first == kHostNoError) first = error;
  }
  return first;
}

HostError ReleaseAllSuites(SPBasicSuite* basic) {
  HostError first = kHostNoError;
  for (const HostSuiteEntry& entry : HostSuiteTable::kEntries) {
    if (*entry.slot == nullptr) continue;
    const HostError error = basic->ReleaseSuite(entry.name, entry.version);
    if (error == kHostNoError) {
      *entry.slot = nullptr;
    } else if (first == kHostNoError) {
      first = error;
    }
  }
  return first;
}
