#include "plugin/plugin_globals.h"

PluginGlobals* gGlobals = nullptr;
