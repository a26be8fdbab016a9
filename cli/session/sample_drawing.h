// The built-in sample drawing that `morvelin apply` and `morvelin edit` use
// when no file is given.
#pragma once

namespace morvelin {

// An SVG document: circles of several sizes, some in groups, some
// overlapping, one far away, and a few objects the effect passes over.
const char* SampleDrawingSvg();

}  // namespace morvelin
