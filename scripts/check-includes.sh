#!/usr/bin/env bash
# Checks that includes run one way between the parts of the project:
#   the plug-in (plugin/ menus/ blend/ params/ resources/) includes only
#     itself and host_api/: never the stand-in host (standin/) or the tool (cli/);
#   the stand-in host (standin/) includes only itself and host_api/: never the
#     plug-in or the tool;
#   the SVG layer (cli/svg/) includes only itself, host_api/, the stand-in's
#     art objects (standin/art/) and UTF-8 (standin/text/): never the plug-in,
#     the tool's other layers or CLI11.
# Prints each wrong include as file:line and exits 1 when there is one.
#   scripts/check-includes.sh [ROOT]   (default: this checkout)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

status=0
# only FOLDERS... -- ALLOWED WHY: every #include "..." in the folders'
# sources names a file in this folder (no slash) or one whose path matches
# ALLOWED (an extended regular expression for its start); any other is wrong.
only() {
  local folders=()
  while [ "$1" != "--" ]; do folders+=("$1"); shift; done
  local allowed="$2" why="$3" line name
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    name=$(sed -E 's/^[^"]*"([^"]*)".*/\1/' <<<"${line#*:*:}")
    if [[ "$name" == */* ]] && ! grep -qE "^(${allowed})" <<<"$name"; then
      echo "$line  <- $why" >&2
      status=1
    fi
  done < <(grep -rnE --include='*.cpp' --include='*.h' --include='*.rc' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
    "${folders[@]}" || true)
}
# never FOLDERS... -- PATTERN WHY: no #include <...> in the folders' sources
# names a header matching PATTERN.
never() {
  local folders=()
  while [ "$1" != "--" ]; do folders+=("$1"); shift; done
  local found
  found=$(grep -rnE --include='*.cpp' --include='*.h' "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($2)" \
    "${folders[@]}" || true)
  if [ -n "$found" ]; then
    sed "s|\$|  <- $3|" <<<"$found" >&2
    status=1
  fi
}

plugin='plugin/|menus/|blend/|params/|resources/'
only plugin menus blend params resources -- "${plugin}|host_api/" "the plug-in includes only itself and host_api/"
only standin -- "standin/|host_api/" "the stand-in includes only itself and host_api/"
only cli/svg -- "cli/svg/|host_api/|standin/art/|standin/text/" \
  "the SVG layer includes only itself, host_api/, standin/art/ and standin/text/"
never cli/svg -- "CLI/" "the SVG layer does not use CLI11"

if [ "$status" -eq 0 ]; then echo "includes run one way"; fi
exit "$status"
