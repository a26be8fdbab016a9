#include "standin/unite/unite_engine.h"

#include "standin/core/host.h"

namespace standin {

void RegisterPathfinderSuite(Host& /*host*/) {}

}  // namespace standin
