#include "standin/journal/handle_serials.h"

#include <new>

#include "standin/core/host.h"

namespace standin {

void HandleSerials::Created(const void* handle) noexcept {
  if (handle == nullptr) return;
  const std::uint32_t serial = next_++;
  try {
    serials_[handle] = serial;
  } catch (const std::bad_alloc&) {
    // Without memory for its entry the handle gets its number when the
    // journal first shows it; the store that made it goes on.
  }
}

std::string HandleSerials::Text(const void* handle) {
  if (handle == nullptr) return "null";
  auto it = serials_.find(handle);
  if (it == serials_.end()) it = serials_.emplace(handle, next_++).first;
  return "#" + std::to_string(it->second);
}

void NoteNewHandle(const void* handle) noexcept {
  // Without recording no entry shows a handle, so numbering them would only
  // cost time and memory on large drawings.
  Host* host = Host::Current();
  if (host != nullptr && host->journal().recording()) host->journal().handles().Created(handle);
}

std::string HandleText(const void* handle) {
  if (handle == nullptr) return "null";
  Host* host = Host::Current();
  return host != nullptr ? host->journal().handles().Text(handle) : "#?";
}

}  // namespace standin
