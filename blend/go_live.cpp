#include "blend/go_live.h"

HostError GoLive(LiveEffectGoLiveMessage* /*message*/) { return kHostNoError; }
