#!/bin/sh
# Starts the installed program from its own folder, where its markup and manifest lie.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/zintrel/zintrel" "$@"
