#include "standin/journal/handle_serials.h"

#include "standin/core/host.h"

namespace standin {

void HandleSerials::Created(const void* handle) {
  if (handle == nullptr) return;
  serials_[handle] = next_++;
}

std::string HandleSerials::Text(const void* handle) {
  if (handle == nullptr) return "null";
  auto it = serials_.find(handle);
  if (it == serials_.end()) it = serials_.emplace(handle, next_++).first;
  return "#" + std::to_string(it->second);
}

void NoteNewHandle(const void* handle) {
  if (Host* host = Host::Current()) host->journal().handles().Created(handle);
}

std::string HandleText(const void* handle) {
  if (handle == nullptr) return "null";
  Host* host = Host::Current();
  return host != nullptr ? host->journal().handles().Text(handle) : "#?";
}

}  // namespace standin
