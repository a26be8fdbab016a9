// The plug-in's resources as compiled bytes: a compiled resource file (.res,
// as windres and rc write it, the form the resources take before they are
// linked into Morvelin.aip) and the classic dialog template (DLGTEMPLATE)
// inside it, read into the ResourceTable's form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "standin/core/resource_table.h"

namespace standin {

// Resource types that have numbers.
enum : uint16_t { kResourceTypeDialog = 5 };

// The bytes of resource `type`/`id` (both numbers) in compiled resource
// file `res`; nothing when it holds none or the file is malformed. The first
// resource of that type and ID counts, whatever its language.
std::optional<std::vector<uint8_t>> FindCompiledResource(const uint8_t* res, std::size_t size, uint16_t type,
                                                         uint16_t id);

// Reads a classic dialog template (not the extended form) into a
// DialogTemplate with `id`: window style, rectangle, caption, font (when
// DS_SETFONT is set) and every item's style, rectangle, ID, class (an atom
// of a predefined class, which sets its name too, or a name) and text.
// Texts are UTF-16 in the template and UTF-8 here. A menu, a window class or
// an item's creation data are skipped. Nothing when the bytes end early.
std::optional<DialogTemplate> ReadDialogTemplate(const std::vector<uint8_t>& bytes, int32_t id);

}  // namespace standin
