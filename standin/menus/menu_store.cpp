#include "standin/menus/menu_store.h"

#include "standin/core/host.h"

namespace standin {

void RegisterMenuSuites(Host& /*host*/) {}

}  // namespace standin
