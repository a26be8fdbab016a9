// "ADM Basic Suite": the plug-in's indexed strings and the About box. Every
// call is journaled; bad arguments give kHostErrBadParameter.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "standin/core/host.h"
#include "standin/core/out_of_memory.h"
#include "standin/core/resource_table.h"
#include "standin/menus/menu_store.h"

namespace standin {

namespace {

HostError HOSTCALL GetIndexString(PluginRef self, int32_t listID, int32_t index, char* buffer,
                                  int32_t maxLength) {
  Host* host = Host::Current();
  if (host == nullptr) return kHostErrBadParameter;
  const auto args = [&] {
    return HandleText(self) + ", " + std::to_string(listID) + ", " + std::to_string(index) + ", " +
           std::to_string(maxLength);
  };
  if (HostError e = host->journal().Enter(kADMBasicSuite, "GetIndexString", args)) return e;
  if (self != host->self() || buffer == nullptr || maxLength < 1) return kHostErrBadParameter;
  // Index i is the string whose ID is listID + i; the sum is formed wide so
  // that no pair of arguments can overflow into another string's ID.
  const int64_t id = static_cast<int64_t>(listID) + index;
  if (index < 0 || id > INT32_MAX) return kHostErrBadParameter;
  const std::string* text = host->resources().FindString(static_cast<int32_t>(id));
  if (text == nullptr) return kHostErrBadParameter;  // the buffer stays untouched
  // Cut to maxLength - 1 bytes and zero-terminated.
  const std::size_t length = std::min(text->size(), static_cast<std::size_t>(maxLength - 1));
  std::memcpy(buffer, text->data(), length);
  buffer[length] = '\0';
  return kHostNoError;
}

void HOSTCALL AboutBox(const char* title, const char* text) {
  Host* host = Host::Current();
  if (host == nullptr) return;
  const char* shownTitle = title != nullptr ? title : "";
  host->journal().Enter(
      kADMBasicSuite, "AboutBox", [&] { return "\"" + std::string(shownTitle) + "\""; }, false);
  // Without memory to show it, the box is not shown.
  NothingOnOutOfMemory([&] {
    host->menus().RecordAboutBox(AboutBoxShown{shownTitle, text != nullptr ? text : ""});
  });
}

// The toolkit's other operations: the plug-in never calls them; a call is
// journaled so that it shows up.
void HOSTCALL Reserved() {
  if (Host* host = Host::Current()) host->journal().Enter(kADMBasicSuite, "Reserved", "", false);
}

ADMBasicSuite MakeADMBasicSuite() {
  ADMBasicSuite suite{};
  suite.GetIndexString = GetIndexString;
  for (ADMReservedProc& proc : suite.reserved) proc = Reserved;
  suite.AboutBox = AboutBox;
  return suite;
}

}  // namespace

const ADMBasicSuite& ADMBasicSuiteTable() {
  static const ADMBasicSuite table = MakeADMBasicSuite();
  return table;
}

}  // namespace standin
