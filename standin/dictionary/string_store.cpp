#include "standin/dictionary/string_store.h"

#include "standin/core/host.h"

namespace standin {

void RegisterUnicodeStringSuite(Host& /*host*/) {}

}  // namespace standin
