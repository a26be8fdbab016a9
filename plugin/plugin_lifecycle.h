// Start-up, shut-down and the parking of the globals block while the host
// unloads the plug-in.
#pragma once

#include "host_api/host_api.h"

// "SP Interface" / "Startup": acquires all suites, allocates the globals block
// (zeroed) and hands its address to the host in message->globals, registers
// the About menu item and then the live effect with its menu item, stopping
// at the first failure. Whatever happened, releases all suites again and
// clears the in-dialog flag when a block exists. Returns the first non-zero
// code, or 0. A failed acquisition allocates no block; a failed registration
// keeps it. An exception from the registration still releases the suites
// before it passes on.
HostError StartupPlugin(SPMessageData* message);

// "SP Interface" / "Shutdown": frees the globals block when there is one and
// sets the globals pointer and message->globals to null. Acquires no suite
// and unregisters nothing. Always returns 0.
HostError ShutdownPlugin(SPMessageData* message);

// "SP Access" / "Unload": parks the globals pointer in message->globals.
// Returns 0.
HostError UnloadPlugin(SPMessageData* message);

// "SP Access" / "Reload": takes the globals pointer back from
// message->globals. Returns 0.
HostError ReloadPlugin(SPMessageData* message);
