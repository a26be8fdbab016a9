// The live effect's execution on one go-live message.
#pragma once

#include "host_api/host_api.h"

// Answers "AI Live Effect" / "AI Live Effect Go Live": builds the bridges
// between the closed painted paths of the message's input art and has the
// host unite them. Returns 0 or a host error code.
HostError GoLive(LiveEffectGoLiveMessage* message);
