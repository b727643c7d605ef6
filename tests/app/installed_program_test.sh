#!/usr/bin/env bash
# The installed program on a real X server: it keeps its placement between runs, also when a
# signal ends it, and under a window manager a double click on its title bar maximises and
# restores it.
set -euo pipefail
source "$(dirname "$0")/../support/installed_program.sh"
install_program "$1"

export accessible="$(cd "$(dirname "$0")" && pwd)/../support/accessible.py"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- bash -euo pipefail -c '
  # The accessibility bus runs before the program starts, so the program shows itself on it.
  /usr/bin/python3 -c "import pyatspi; pyatspi.Registry.getDesktop(0)"
  window() { timeout 30 xdotool search --sync --onlyvisible --name "^Varnholt Zintrel$" | head -1; }
  geometry() { xdotool getwindowgeometry --shell "$1" | tr "\n" " "; }
  # Waits, at most 20 s, until the window geometry matches the pattern.
  wait_for() {
    local id=$1 pattern=$2 tries=0
    until [[ "$(geometry "$id")" =~ $pattern ]]; do
      tries=$((tries + 1))
      [ $tries -lt 400 ] || { echo "waited in vain for $pattern: $(geometry "$id")"; return 1; }
      sleep 0.05
    done
  }
  close_window() { /usr/bin/python3 "$accessible" press "push button" Close; }
  double_click_title() { xdotool mousemove $(/usr/bin/python3 "$accessible" title-bar) click --repeat 2 --delay 80 1; }

  "$program" & pid=$!
  id=$(window)
  xdotool windowmove --sync "$id" 200 150
  # A double click on the title bar maximises.
  double_click_title
  close_window
  wait "$pid"
  grep -q "\"showCmd\"" "$XDG_CONFIG_HOME/zintrel/settings.json" || { echo "no placement saved"; exit 1; }

  # Without a window manager nothing answers a request to maximise, so the second run is
  # judged by what it saves when it closes untouched: only a restored placement saves the
  # maximised state and the moved rectangle again.
  saved=$(stat -c %y "$XDG_CONFIG_HOME/zintrel/settings.json")
  "$program" & pid=$!
  id=$(window)
  wait_for "$id" "X=200 Y=150 "
  close_window
  wait "$pid"
  [ "$(stat -c %y "$XDG_CONFIG_HOME/zintrel/settings.json")" != "$saved" ] || { echo "the second run saved nothing"; exit 1; }
  python3 - "$XDG_CONFIG_HOME/zintrel/settings.json" <<PY
import json, sys
record = json.load(open(sys.argv[1]))["values"]["WindowPlacement"]["value"]
rect = record["rcNormalPosition"]["value"]
assert record["showCmd"]["value"] == 3, ("not maximised on the second start", record)
assert (rect[0], rect[1]) == (200, 150), ("not where it was", rect)
PY

  # Logout, a closed terminal, kill and Ctrl+C close the window as its close button does: the
  # placement and the chosen algorithms are saved and the program ends normally. (A background
  # job starts with SIGINT ignored; env gives it back.)
  for signal in TERM INT HUP; do
    rm -rf "$XDG_CONFIG_HOME"
    env --default-signal=INT "$program" & pid=$!
    id=$(window)
    xdotool windowmove --sync "$id" 240 170
    kill -s $signal "$pid"
    wait "$pid" || { echo "SIG$signal ended the program with status $?"; exit 1; }
    python3 - "$XDG_CONFIG_HOME/zintrel/settings.json" <<PY
import json, sys
values = json.load(open(sys.argv[1]))["values"]
assert "WindowPlacement" in values and "ChosenNonCryptoAlgorithms" in values, ("not saved on SIG$signal", values)
rect = values["WindowPlacement"]["value"]["rcNormalPosition"]["value"]
assert (rect[0], rect[1]) == (240, 170), ("not where it was", rect)
PY
  done

  # Under a window manager the press of the first click must not go to it before the second
  # click is known, or the double click never arrives.
  rm -rf "$XDG_CONFIG_HOME"
  openbox & wm=$!
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    [ $tries -lt 400 ] || { echo "the window manager did not start"; exit 1; }
    sleep 0.05
  done
  "$program" & pid=$!
  id=$(window)
  wait_for "$id" "WIDTH=[0-9]+ HEIGHT=[0-9]+ "
  before=$(geometry "$id")
  double_click_title
  wait_for "$id" "WIDTH=1600 HEIGHT=1000 "
  double_click_title
  wait_for "$id" "WIDTH=([0-9]{3}|1[0-5][0-9]{2}) "
  close_window
  wait "$pid"
  kill $wm
'
echo "installed program reopened maximised at its place, saved it when signalled, and maximises by double click under a window manager"
