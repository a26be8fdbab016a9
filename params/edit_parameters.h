// The Edit-Parameters dialog.
#pragma once

#include "host_api/host_api.h"

// Answers "AI Live Effect" / "AI Live Effect Edit Parameters": shows the
// modal dialog with its live preview. Needs the globals block (the dispatch
// refuses the message without one).
//
// Returns 0 after OK, with the slider's value written back and the effect
// executed once more; kHostErrCancelled after Cancel or any other way of
// closing the dialog, with the dictionary as the preview left it; the host's
// code when the suites, the context push or the context pop fail (a failed
// pop also skips the write-back); kPluginErrNoDialog when the host builds no
// dialog. The message's allow-preview flag is 1 once the suites are held.
// On every way out the globals fields the dialog uses are cleared and the
// suites released; an ai::Error from the final write still passes to the
// caller after that.
HostError EditParameters(LiveEffectEditParamMessage* message);
