// The plug-in's item in its maker's About submenu, and the About box it opens.
#pragma once

#include "host_api/host_api.h"

// The About box's title, and its text. The text's line breaks are the pairs
// backslash and 'n', not newline characters; the host's About box draws them.
extern const char kAboutTitle[];
extern const char kAboutText[];

// Start-up step: clears the About menu item of the globals block, then adds
// the item "Morvelin" to the maker's submenu "AboutTessikPlugIns" (creating
// the submenu under the host's "About" group, titled "About Tessik plug-ins",
// when no plug-in of the maker made it yet). On success the globals block
// holds the item's handle. Uses message->self and message->basic; needs the
// suite table held and the globals block. Returns 0 or the first failing host
// code. Throws ai::Error when the host cannot make a string.
HostError RegisterAboutMenuItem(SPMessageData* message);

// "AI Menu" / "AI Go": acquires all suites; when that succeeds and the chosen
// item is the plug-in's About item, shows the About box. Releases all suites
// (that result is dropped) and returns the acquisition's code. Needs the
// globals block.
HostError HandleAboutCommand(MenuMessage* message);
