#!/usr/bin/env bash
# The UI layer's parts include only themselves and the parts before them.
set -euo pipefail
cd "$1"
parts=(core controls markup window)
status=0
for i in "${!parts[@]}"; do
  for later in "${parts[@]:$((i + 1))}"; do
    if grep -rn "#include \"platform/xaml/$later/" "${parts[$i]}"; then
      echo "${parts[$i]} must not include $later: move the shared piece down to ${parts[$i]} or below"
      status=1
    fi
  done
done
exit $status
