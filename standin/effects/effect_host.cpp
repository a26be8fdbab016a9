#include "standin/effects/effect_host.h"

#include "standin/core/host.h"

namespace standin {

void RegisterLiveEffectSuite(Host& /*host*/) {}

}  // namespace standin
