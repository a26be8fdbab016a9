// Registering the live effect and its item in the host's Effect menu.
#pragma once

#include "host_api/host_api.h"

// Start-up step: reads the effect's category (string 1) and name (string 2)
// of string list 16000, registers the effect under that name (its handle goes
// to the globals block), adds its menu item under the category and asks the
// host to update the item automatically. A string that the host leaves empty
// is replaced by the built-in text ("Tessik plug-ins", "Morvelin"). Uses
// message->self; needs the suite table held and the globals block. Returns 0
// or the first failing host code; what was registered before it stays.
HostError RegisterLiveEffect(SPMessageData* message);
