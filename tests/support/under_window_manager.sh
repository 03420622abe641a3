#!/bin/sh
# Runs a program on an X display of its own (Xvfb, 1024 x 768) with a window manager
# (openbox), so that its windows get a frame and a place as on a desktop: what a frame
# cuts off, and where a window opens, show only there. Fails where either is missing.
for tool in Xvfb openbox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "under_window_manager: $tool is missing (scripts/install-deps installs it)" >&2
        exit 1
    fi
done
work=$(mktemp -d) || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
xvfb=$!
wm=
trap 'kill $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT
# Xvfb writes its display number once it accepts clients; openbox touches a file once it
# manages the screen.
waited=0
until [ -s "$work/display" ]; do
    [ $waited -lt 100 ] || { echo "under_window_manager: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1; waited=$((waited + 1))
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
openbox --sm-disable --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
wm=$!
waited=0
until [ -e "$work/managing" ]; do
    [ $waited -lt 100 ] || { echo "under_window_manager: openbox did not start" >&2; cat "$work/openbox.log" >&2; exit 1; }
    sleep 0.1; waited=$((waited + 1))
done
QT_QPA_PLATFORM=xcb UNDER_WINDOW_MANAGER=openbox "$@"
