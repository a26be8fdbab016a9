// Caller and selector strings, and the message records the host passes to
// PluginMain. Each record starts with SPMessageData.
#pragma once

#include <stddef.h>

#include "host_types.h"
#include "sp_basic.h"

#define kSPAccessCaller "SP Access"
#define kSPAccessUnloadSelector "Unload"
#define kSPAccessReloadSelector "Reload"
#define kSPInterfaceCaller "SP Interface"
#define kSPInterfaceStartupSelector "Startup"
#define kSPInterfaceShutdownSelector "Shutdown"
#define kMenuCaller "AI Menu"
#define kMenuGoSelector "AI Go"
#define kLiveEffectCaller "AI Live Effect"
#define kLiveEffectEditParametersSelector "AI Live Effect Edit Parameters"
#define kLiveEffectGoLiveSelector "AI Live Effect Go Live"

// The entry point's signature.
typedef HostError(HOSTCALL* PluginMainProc)(const char* caller, const char* selector, void* message);

// "AI Menu" / "AI Go": a menu item the plug-in added was chosen.
typedef struct MenuMessage {
  SPMessageData d;
  MenuItemHandle menuItem;  // the chosen item
} MenuMessage;

// "AI Live Effect" / "AI Live Effect Go Live": execute the effect on `art`.
// The plug-in reads the record and never writes to it.
typedef struct LiveEffectGoLiveMessage {
  SPMessageData d;
  LiveEffectHandle effect;      // the effect being executed
  DictionaryHandle parameters;  // the application's parameter dictionary
  void* instanceInfo;           // host data for this application; not used
  ArtHandle art;                // the input art; the result is built below it
} LiveEffectGoLiveMessage;

// "AI Live Effect" / "AI Live Effect Edit Parameters": edit the parameters of
// one application of the effect.
typedef struct LiveEffectEditParamMessage {
  SPMessageData d;
  LiveEffectHandle effect;      // the effect whose parameters are edited
  DictionaryHandle parameters;  // the application's parameter dictionary
  ParamContext context;         // to pass to UpdateParameters
  HostBoolean allowPreview;     // set by the plug-in when it previews
} LiveEffectEditParamMessage;

#if HOST_API_32BIT
static_assert(offsetof(MenuMessage, menuItem) == 16, "menu item at 16");
static_assert(offsetof(LiveEffectGoLiveMessage, parameters) == 20, "dictionary at 20");
static_assert(offsetof(LiveEffectGoLiveMessage, art) == 28, "input art at 28");
static_assert(offsetof(LiveEffectEditParamMessage, d.self) == 4, "self at 4");
static_assert(offsetof(LiveEffectEditParamMessage, d.basic) == 12, "basic at 12");
static_assert(offsetof(LiveEffectEditParamMessage, parameters) == 20, "dictionary at 20");
static_assert(offsetof(LiveEffectEditParamMessage, context) == 24, "context at 24");
static_assert(offsetof(LiveEffectEditParamMessage, allowPreview) == 28, "allow-preview at 28");
#endif
