// The Edit-Parameters dialog.
#pragma once

#include "host_api/host_api.h"

// Answers "AI Live Effect" / "AI Live Effect Edit Parameters": shows the
// modal dialog with its live preview. Returns 0 after OK, kHostErrCancelled
// after Cancel, or a host error code.
HostError EditParameters(LiveEffectEditParamMessage* message);
