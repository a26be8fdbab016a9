#include "params/edit_parameters.h"

HostError EditParameters(LiveEffectEditParamMessage* /*message*/) { return kHostNoError; }
