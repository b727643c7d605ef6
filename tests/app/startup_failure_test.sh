#!/usr/bin/env bash
# A program whose markup or package manifest is missing or damaged, or that finds no display,
# ends at start-up with one line naming the file and a failing status, not with an abort. Each case runs a copy of the
# program with its files in a folder of its own, one file broken.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$work/runtime"
failures=0

# copy NAME: the program and everything it reads, intact, in $work/NAME.
copy() {
  mkdir "$work/$1"
  cp "$program" "$(dirname "$program")"/*.xaml "$work/$1/"
  cp -r "$(dirname "$program")/Assets" "$work/$1/"
}

# expect NAME FILE: the copy fails to start, saying so once and naming FILE.
expect() {
  local status=0
  timeout 60 "$work/$1/zintrel" > "$work/$1.out" 2> "$work/$1.err" || status=$?
  if [ "$status" -ne 1 ]; then
    echo "$1: exit status $status, not 1"; failures=$((failures + 1))
  fi
  if [ "$(grep -c . "$work/$1.err")" -ne 1 ] || ! grep -q "^zintrel: cannot start: .*$work/$1/$2" "$work/$1.err"; then
    echo "$1: not one line naming $2:"; cat "$work/$1.err"; failures=$((failures + 1))
  fi
}

# The program as built has no package identity: no manifest lies beside it (it would keep settings).
if [ -e "$(dirname "$program")/AppxManifest.xml" ]; then
  echo "a package manifest lies beside the built program"; failures=$((failures + 1))
fi

copy missing-markup
rm "$work/missing-markup/MainWindow.xaml"
expect missing-markup MainWindow.xaml

copy damaged-markup
head -c 200 "$(dirname "$program")/App.xaml" > "$work/damaged-markup/App.xaml"
expect damaged-markup "App.xaml:[0-9]"

copy damaged-manifest
echo '<Package><Identity Version="1.0.0.0"/></Package>' > "$work/damaged-manifest/AppxManifest.xml"
expect damaged-manifest AppxManifest.xml

copy truncated-manifest
echo '<Package><Identity Name=' > "$work/truncated-manifest/AppxManifest.xml"
expect truncated-manifest AppxManifest.xml

# No display at all, and a display that does not answer: one line saying so, status 1, no abort.
for display in "" ":93"; do
  status=0
  env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" timeout 60 "$program" > /dev/null 2> "$work/display.err" \
    || status=$?
  if [ "$status" -ne 1 ] || [ "$(grep -c . "$work/display.err")" -ne 1 ] \
    || ! grep -q "^zintrel: cannot start: no graphical display" "$work/display.err"; then
    echo "without a display (DISPLAY=$display): status $status, not one line:"; cat "$work/display.err"
    failures=$((failures + 1))
  fi
done

[ "$failures" -eq 0 ] && echo "every broken start ended with one message and status 1"
exit "$failures"
