// Live effects: registration ("AI Live Effect Suite"), effect applications with their dictionaries, and executing them through the plug-in.
#pragma once

namespace standin {

class Host;

class EffectHost {
 public:
};

// Registers the suites of this component with the host.
void RegisterLiveEffectSuite(Host& host);

}  // namespace standin
