// The Pathfinder unite ("AI Pathfinder Suite").
#pragma once

namespace standin {

class Host;

class UniteEngine {
 public:
};

// Registers the suites of this component with the host.
void RegisterPathfinderSuite(Host& host);

}  // namespace standin
