#include "blend/bridge_geometry.h"
// Placeholder until the geometry lands.
