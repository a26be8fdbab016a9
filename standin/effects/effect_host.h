// Live-effect applications and their execution. An application is one use of
// the effect on a piece of art the user drew, with its own parameter
// dictionary. Executing it copies the drawn art into a fresh input art, sends
// the plug-in a go-live message for it, and keeps the input art, as the
// plug-in left it, as what the drawing shows. The drawn art itself never
// changes, so every execution starts from the same art.
#pragma once

#include <memory>
#include <vector>

#include "host_api/host_api.h"
#include "standin/effects/live_effect_registration.h"

namespace standin {

class Host;

struct EffectApplication {
  ArtObject* drawn = nullptr;           // the art the user drew; owned by the ArtStore
  DictionaryHandle parameters = nullptr;
  ArtObject* shown = nullptr;           // the result of the last execution, or null
  int executions = 0;                   // go-live messages sent for this application
  HostError lastResult = kHostNoError;  // the plug-in's result for the last one
  ParamContext context = nullptr;       // what the plug-in passes to UpdateParameters
};

class EffectHost {
 public:
  explicit EffectHost(Host& host) : host_(host) {}

  // The plug-in's entry point, through which every message is sent.
  void SetEntryPoint(PluginMainProc entryPoint) { entryPoint_ = entryPoint; }
  PluginMainProc entryPoint() const { return entryPoint_; }

  // The effect the plug-in registered, passed in every effect message.
  void SetRegisteredEffect(LiveEffectHandle effect) { effect_ = effect; }
  LiveEffectHandle registeredEffect() const { return effect_; }

  // Every effect the plug-in registered, with its menu item.
  EffectRegistry& registry() { return registry_; }

  // A new application of the effect to `drawn` with `parameters`. The host
  // keeps it until the EffectHost goes away.
  EffectApplication& Apply(ArtObject* drawn, DictionaryHandle parameters);

  // Sends one go-live message for the application and keeps the result.
  // Returns the plug-in's code; without an entry point, kHostErrUnsupported.
  HostError Execute(EffectApplication& application);

  // Sends the Edit-Parameters message for the application; its
  // allow-preview field as the plug-in left it goes to *allowPreview when
  // that is not null. Returns the plug-in's code.
  HostError EditParameters(EffectApplication& application, HostBoolean* allowPreview = nullptr);

  // What UpdateParameters does: executes the application of `context` again
  // at once (a nested go-live while a dialog runs). kHostErrBadParameter for
  // a context the host never gave out.
  HostError Update(ParamContext context);

  // Number of go-live messages sent while another message was being served.
  int nestedExecutions() const { return nestedExecutions_; }

 private:
  Host& host_;
  PluginMainProc entryPoint_ = nullptr;
  LiveEffectHandle effect_ = nullptr;
  EffectRegistry registry_;
  std::vector<std::unique_ptr<EffectApplication>> applications_;
  int depth_ = 0;
  int nestedExecutions_ = 0;
};

// Registers "AI Live Effect Suite".
void RegisterLiveEffectSuite(Host& host);

}  // namespace standin
