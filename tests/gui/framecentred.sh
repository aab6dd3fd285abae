#!/usr/bin/env bash
# The main window is centred with its frame, under a real window manager
# (openbox on Xvfb), where the frame is known only after the window shows;
# and a window larger than the screen (a scale of 2 on 1024x768) keeps its
# frame's top-left corner on the screen, where its title bar can be reached:
#   tests/gui/framecentred.sh path/to/tessiva
# Each check waits for the window manager, however long it takes, up to a
# minute. Exits 77 (skipped) where Xvfb, openbox, xdotool or xwininfo are
# missing.
set -euo pipefail
tessiva=$1
for tool in Xvfb openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
window= wm=
trap 'kill $window $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# Runs the command until it succeeds, ten times a second, for at most a minute.
until_true() {
    for _ in $(seq 1 600); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# Xvfb picks a display no other server holds, and names it once it serves it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
until_true grep -q . "$work/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display") XDG_CONFIG_HOME=$work/config HOME=$work
openbox >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is there once it names itself on the root window.
until_true sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || { echo "FAIL: openbox did not start:"; cat "$work/openbox.log"; exit 1; }

id=
# The frame of window $id as the window manager drew it: "x y width height".
frame() {
    local extents left right top bottom info x y w h
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r left right top bottom <<< "$extents"
    info=$(xwininfo -id "$id")
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
    w=$(sed -n 's/.*Width: *//p' <<< "$info")
    h=$(sed -n 's/.*Height: *//p' <<< "$info")
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}
# Whether the frame stands where `want` (a function of the frame's size)
# says, within a pixel.
placed() {
    local fx fy fw fh wx wy
    read -r fx fy fw fh < <(frame) || return 1
    read -r wx wy < <("$want" "$fw" "$fh")
    [ $((fx - wx)) -ge -1 ] && [ $((fx - wx)) -le 1 ] && [ $((fy - wy)) -ge -1 ] && [ $((fy - wy)) -le 1 ]
}
centred() { echo "$(((1024 - $1) / 2)) $(((768 - $2) / 2))"; }
topLeft() { echo "0 0"; }

# Starts the window with the environment given, and waits for it to stand
# where `want` says.
check() {
    want=$1 what=$2
    shift 2
    env "$@" "$tessiva" >/dev/null 2>&1 &
    window=$!
    id=
    until_true sh -c 'xdotool search --onlyvisible --class tessiva 2>/dev/null | head -1 | grep -q .' \
        || { echo "FAIL: the window did not show"; exit 1; }
    id=$(xdotool search --onlyvisible --class tessiva | head -1)
    if ! until_true placed; then
        echo "FAIL: $what: the frame stands at $(frame || echo '(no frame)'), wanted $("$want" $(frame | cut -d' ' -f3,4))"
        exit 1
    fi
    echo "ok: $what: frame $(frame)"
    kill "$window"
    wait "$window" 2>/dev/null || true
    window=
}
check centred "the window is centred with its frame"
check topLeft "a window larger than the screen keeps its top-left corner on it" QT_SCALE_FACTOR=2
