#!/usr/bin/env bash
# The main window is centred with its frame, under a real window manager
# (openbox on Xvfb), where the frame is known only after the window shows:
#   tests/gui/framecentred.sh path/to/tessiva
# Exits 77 (skipped) where Xvfb, openbox, xdotool or xwininfo are missing.
set -euo pipefail
tessiva=$1
for tool in Xvfb openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
display=:$((200 + RANDOM % 300))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$((${display#:} + 1)); done
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $window $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
window= wm=
export DISPLAY=$display XDG_CONFIG_HOME=$work/config HOME=$work
for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
"$tessiva" >/dev/null 2>&1 &
window=$!
id=
for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --class tessiva 2>/dev/null | head -1) && [ -n "$id" ] && break
    sleep 0.1
done
[ -n "$id" ] || { echo "FAIL: the window did not show"; exit 1; }
# Until the frame is known, and the window had its chance to move.
extents=
for _ in $(seq 1 50); do
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] && break
    sleep 0.1
done
[ -n "$extents" ] || { echo "FAIL: the window manager gave no frame"; exit 1; }
sleep 2.5
IFS=, read -r left right top bottom <<< "$extents"
x=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(xwininfo -id "$id" | sed -n 's/.*Width: *//p')
h=$(xwininfo -id "$id" | sed -n 's/.*Height: *//p')
frameX=$((x - left)) frameY=$((y - top)) frameW=$((w + left + right)) frameH=$((h + top + bottom))
wantX=$(((1024 - frameW) / 2)) wantY=$(((768 - frameH) / 2))
echo "frame ${frameW}x${frameH} at $frameX,$frameY; centred it is at $wantX,$wantY"
[ $((frameX - wantX)) -ge -1 ] && [ $((frameX - wantX)) -le 1 ] && [ $((frameY - wantY)) -ge -1 ] \
    && [ $((frameY - wantY)) -le 1 ] || { echo "FAIL: the frame is not centred"; exit 1; }
echo "ok: the window is centred with its frame"
