#!/usr/bin/env bash
# The real program under a reparenting window manager (openbox on Xvfb):
# the stored position is the frame's and survives restarts to the pixel, a
# first start shows the whole frame, and the height cannot be changed.
#   window-manager-test.sh PROGRAM EXAMPLES_FOLDER
# Exits 77 (skipped) when Xvfb, openbox, xdotool or x11-utils are missing.
set -euo pipefail

for tool in Xvfb openbox xdotool xwininfo xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (Debian packages xvfb openbox xdotool x11-utils)"
    exit 77
  fi
done
program=$(realpath "$1")
examples=$(realpath "$2")

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb tells its number once it listens.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"

# openbox with its stock key for closing a window, whatever the system's settings.
cat >"$work/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard><keybind key="A-F4"><action name="Close"/></keybind></keyboard>
</openbox_config>
XML
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
for attempt in 1 2 3; do
  openbox --config-file "$work/rc.xml" >>"$work/openbox.log" 2>&1 &
  wm=$!
  pids+=($wm)
  for _ in $(seq 100); do wm_running && break; sleep 0.1; done
  sleep 1
  kill -0 "$wm" 2>/dev/null && wm_running && break
  echo "openbox did not come up (attempt $attempt):"
  cat "$work/openbox.log"
  [ "$attempt" = 3 ] && exit 1
done

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb
mkdir -p "$work/start" "$work/data"
cp "$examples"/CALL3.txt "$examples"/wsjtx.log "$work/start/"
conf="$XDG_CONFIG_HOME/VHF-Orvanta/VHF-Orvanta.conf"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Starts the program and waits until its window has stood still for a moment.
window=""
app=""
launch() {
  (cd "$work/start" && exec "$program") >>"$work/program.log" 2>&1 &
  app=$!
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$app" --name Orvanta 2>/dev/null | head -1 || true)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  kill "$app"
  wait "$app" || true
  return 1
}
start() {
  # A window manager that has only just started can miss the first window
  # mapped meanwhile; that is the test's start-up, not the program's fault.
  launch || launch || {
    echo "no window; program output:"
    cat "$work/program.log"
    exit 1
  }
  local last="" now still=0
  for _ in $(seq 50); do
    sleep 0.2
    now=$(geometry)
    if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
    [ "$still" -ge 3 ] && return 0
    last=$now
  done
}

# "frameLeft frameTop clientWidth clientHeight" in pixels.
geometry() {
  local info extents x y w h l t
  info=$(xwininfo -id "$window")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/^ *Width: *//p' <<<"$info")
  h=$(sed -n 's/^ *Height: *//p' <<<"$info")
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  l=${extents%%,*}
  t=$(cut -d, -f3 <<<"$extents")
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $w $h"
}

# Closes the window through the window manager and waits for the program to end.
close() {
  for _ in 1 2 3; do
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app" 2>/dev/null || break
  done
  if kill -0 "$app" 2>/dev/null; then
    kill -0 "$wm" 2>/dev/null || echo "openbox is no longer running: $(cat "$work/openbox.log")"
    kill "$app"
    echo "FAIL: the program did not end when closed through the window manager; program output:"
    cat "$work/program.log"
    exit 1
  fi
  wait "$app" || true
}

stored() { sed -n "s/^$1=//p" "$conf"; }

# First start, nothing stored: the whole frame, title bar included, is on screen.
start
read -r left top _ _ < <(geometry)
if [ "$left" -lt 0 ] || [ "$top" -lt 0 ]; then fail "first start: frame at $left,$top lies off the screen"; fi
close

# A stored position, ten starts: the frame opens there and is stored unchanged.
mkdir -p "$(dirname "$conf")"
printf '[Settings]\nTop=1950\nLeft=1500\nSprache=de\n' >"$conf"
for run in $(seq 10); do
  start
  read -r left top _ _ < <(geometry)
  [ "$left $top" = "100 130" ] || fail "start $run: frame at $left,$top instead of 100,130"
  close
  [ "$(stored Top) $(stored Left)" = "1950 1500" ] || fail "start $run: stored Top/Left became $(stored Top)/$(stored Left)"
done

# Moved by the window manager: the new frame position is what is stored.
start
xdotool windowmove --sync "$window" 300 200 || true
sleep 0.5
read -r left top width height < <(geometry)
close
[ "$(stored Top) $(stored Left)" = "$((top * 15)) $((left * 15))" ] ||
  fail "after a move to $left,$top the store holds Top=$(stored Top) Left=$(stored Left)"

# The height is fixed: the window manager is told so, and a resize request
# leaves the height as it was.
start
read -r _ _ width height < <(geometry)
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
minimum=$(sed -n 's/.*minimum size: [0-9]* by \([0-9]*\).*/\1/p' <<<"$hints")
maximum=$(sed -n 's/.*maximum size: [0-9]* by \([0-9]*\).*/\1/p' <<<"$hints")
[ -n "$minimum" ] && [ "$minimum" = "$maximum" ] || fail "minimum height '$minimum' and maximum height '$maximum' differ"
xdotool windowsize --sync "$window" $((width + 100)) $((height + 150)) || true
sleep 0.5
read -r _ _ newWidth newHeight < <(geometry)
[ "$newHeight" = "$height" ] || fail "a resize request changed the height from $height to $newHeight"
[ "$newWidth" = "$((width + 100))" ] || fail "a resize request left the width at $newWidth instead of $((width + 100))"
close

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s); program output:"
  cat "$work/program.log"
  exit 1
fi
echo "window manager test passed"
