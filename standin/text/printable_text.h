// Text from a drawing (object names, ids) as the journal and the tool's
// messages print it: nothing in it acts on a terminal, and a name never
// reads as a handle or as more than one argument.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// `text` with every byte of what a terminal would act on, or what would
// hide or reorder the text around it, written as \xNN: the C0 controls
// (tab, line feed and carriage return too), DEL, the C1 controls (U+0080 to
// U+009F), the bidirectional controls (U+061C, U+200E, U+200F, U+202A to
// U+202E, U+2066 to U+2069), the line and paragraph separators (U+2028,
// U+2029) and bytes that are not UTF-8. Other characters stay as they are.
std::string PrintableText(std::string_view text);

// A name as a journal argument: as it is when it is a plain name (an ASCII
// letter or '_', then letters, digits, '_', '-', '.', ':'), other than
// "null"; otherwise in double quotes, '"' and '\' escaped by a backslash and
// the rest as PrintableText. Handles read "#<serial>" or "null", which
// neither form can be.
std::string NameText(std::string_view name);

}  // namespace standin
