// "AI Live Effect Suite": the table, and UpdateParameters, which executes the
// application again at once (a nested go-live through the plug-in's entry
// point when a dialog is running). Registration lives in
// live_effect_registration.cpp.
#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/suite_registry.h"
#include "standin/effects/effect_host.h"
#include "standin/effects/live_effect_registration.h"

namespace standin {

namespace {

HostError HOSTCALL UpdateParameters(ParamContext context) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  if (HostError e = host->journal().Enter(kLiveEffectSuite, "UpdateParameters",
                                          [context] { return HandleText(context); }))
    return e;
  return CodeOnOutOfMemory([&] { return host->effects().Update(context); });
}

const LiveEffectSuite kLiveEffectSuiteTable = {AddLiveEffect, AddLiveEffectMenuItem, UpdateParameters};

}  // namespace

void RegisterLiveEffectSuite(Host& host) {
  host.suites().Add(kLiveEffectSuite, kLiveEffectSuiteVersion, &kLiveEffectSuiteTable);
}

}  // namespace standin
