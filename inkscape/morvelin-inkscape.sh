#!/bin/sh
# Inkscape runs this with the extension's arguments (--id=... per selected
# object, --viscosity=V, the document last); the morvelin tool installed
# beside it does the work.
exec "$(dirname "$0")/morvelin" inkscape "$@"
