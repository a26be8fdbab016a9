// The table of host suites and their process-wide slots.
//
// Every part of the plug-in calls a suite through its slot. A slot holds the
// suite between AcquireAllSuites and ReleaseAllSuites of the message handler
// that is running; all slots are null whenever no handler runs.
#pragma once

#include "host_api/host_api.h"

extern const SPBlocksSuite* sSPBlocks;
extern const LiveEffectSuite* sLiveEffect;
extern const ArtSuite* sArt;
extern const RealMathSuite* sRealMath;
extern const MenuSuite* sMenu;
extern const PathSuite* sPath;
extern const PathStyleSuite* sPathStyle;
extern const ADMBasicSuite* sADMBasic;
extern const ADMDialogSuite* sADMDialog;
extern const ADMItemSuite* sADMItem;
extern const DictionarySuite* sDictionary;
extern const UnicodeStringSuite* sUnicodeString;
extern const PathfinderSuite* sPathfinder;
extern const ADMNotifierSuite* sADMNotifier;
extern const ContextSuite* sContext;

// One entry of the table: the suite's name, the version asked for and the
// slot that receives it.
struct HostSuiteEntry {
  const char* name;
  int32_t version;
  const void** slot;
};

// The 15 suites, in the order they are acquired and released.
struct HostSuiteTable {
  static constexpr int kCount = 15;
  static const HostSuiteEntry kEntries[kCount];
};

// Acquires every suite of the table in order through `basic`. A failure does
// not stop the loop; returns the first non-zero code met, or 0. A failed
// acquisition leaves its slot null. A slot that is still set (its release was
// refused) is not acquired again, so this message's release returns it.
HostError AcquireAllSuites(SPBasicSuite* basic);

// Releases, in table order, every suite whose slot is set. A successful
// release clears the slot; a failed one leaves it set so that the next call
// tries again. Returns the first non-zero code met, or 0.
HostError ReleaseAllSuites(SPBasicSuite* basic);
