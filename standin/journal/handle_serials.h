// Handles as the journal shows them: serial numbers given in order of
// creation, never address bits, so that two runs' journals (two processes,
// a 64-bit and a 32-bit build) compare line by line.
//
// Every store of the stand-in notes a handle when it makes one (art objects,
// blocks, strings, dictionaries and keys, menu groups and items, effects and
// their contexts, dialogs, items and notifications, application contexts).
// A handle at an address that an earlier, since released, handle used gets
// a new number. A pointer the host never made (the plug-in's own user data)
// gets the next number when the journal first shows it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace standin {

class HandleSerials {
 public:
  // Gives `handle` the next serial number (null is never numbered). Needs
  // no memory to succeed: without it the number is given when first shown.
  void Created(const void* handle) noexcept;
  // "null", or "#<serial>".
  std::string Text(const void* handle);

 private:
  std::unordered_map<const void*, std::uint32_t> serials_;
  std::uint32_t next_ = 1;
};

// Notes a handle the current host has just made; does nothing when no host
// is current (a store used on its own, as some tests do). Never throws.
void NoteNewHandle(const void* handle) noexcept;
// A handle as the current host's journal shows it: "null" or "#<serial>".
std::string HandleText(const void* handle);

}  // namespace standin
