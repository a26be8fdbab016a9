// "ADM Notifier Suite": the type of the notification being delivered. Every
// call is journaled; a notifier that is not being delivered is of no type.
#include <string>

#include "standin/core/host.h"
#include "standin/dialogs/dialog_toolkit.h"

namespace standin {

namespace {

HostBoolean HOSTCALL IsNotifierType(NotifierHandle notifier, const char* type) {
  Host* host = Host::Current();
  if (host == nullptr) return 0;
  // A notifier being delivered shows as its type, e.g. <ADM User Changed Notifier>.
  const auto args = [&] {
    const std::string shown =
        host->dialogs().IsLive(notifier) ? "<" + notifier->type + ">" : HandleText(notifier);
    return shown + ", " + (type != nullptr ? "\"" + std::string(type) + "\"" : "null");
  };
  host->journal().Enter(kADMNotifierSuite, "IsNotifierType", args, /*returnsCode=*/false);
  if (type == nullptr || !host->dialogs().IsLive(notifier)) return 0;
  return notifier->type == type ? 1 : 0;
}

}  // namespace

const ADMNotifierSuite& ADMNotifierSuiteTable() {
  static const ADMNotifierSuite table = {IsNotifierType};
  return table;
}

}  // namespace standin
