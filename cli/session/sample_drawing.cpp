#include "cli/session/sample_drawing.h"

namespace morvelin {

const char* SampleDrawingSvg() {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="640" height="400" viewBox="0 0 640 400">
  <title>Morvelin sample drawing</title>
  <g id="cluster" fill="#2a6f97" stroke="none">
    <circle id="big" cx="150" cy="200" r="70"/>
    <circle id="medium" cx="265" cy="150" r="40"/>
    <g id="pair">
      <circle id="small" cx="250" cy="270" r="25"/>
      <circle id="overlapping" cx="285" cy="290" r="30"/>
    </g>
  </g>
  <circle id="far" cx="560" cy="90" r="35" fill="#e07a5f"/>
  <path id="open-line" d="M 40 360 L 600 360" stroke="#999999" fill="none"/>
  <text x="40" y="390" font-family="sans-serif" font-size="14">Morvelin sample</text>
</svg>
)";
}

}  // namespace morvelin
