// The plug-in's single entry point, named in the plug-in property list.
#pragma once

#include "host_api/host_api.h"

#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT
#endif

// Answers one host message. `caller` and `selector` name the message (exact,
// case-sensitive C strings); `message` is the host's record for that pair,
// starting with SPMessageData. A pair the plug-in does not answer returns 0
// without any action. Otherwise returns the handler's host error code. No
// exception leaves this function: ai::Error becomes its code, std::bad_alloc
// kHostErrOutOfMemory and anything else kPluginErrUnexpected.
extern "C" PLUGIN_EXPORT HostError HOSTCALL PluginMain(const char* caller, const char* selector,
                                                       void* message);
