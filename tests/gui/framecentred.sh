#!/usr/bin/env bash
# The main window is centred with its frame, under a real window manager
# (openbox on Xvfb), where the frame is known only after the window shows;
# and a window larger than the screen (a scale of 2 on 1024x768) keeps its
# frame's top-left corner on the screen, where its title bar can be reached:
#   tests/gui/framecentred.sh path/to/tessiva
# Each check waits for the window manager, however long it takes, up to a
# minute. Exits 77 (skipped) where a tool of tests/gui/xsession.sh is
# missing.
set -euo pipefail
tessiva=$1
source "$(dirname "$0")/xsession.sh"

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
        || fail "the window did not show"
    id=$(xdotool search --onlyvisible --class tessiva | head -1)
    until_true placed \
        || fail "$what: the frame stands at $(frame || echo '(no frame)'), wanted $("$want" $(frame | cut -d' ' -f3,4))"
    echo "ok: $what: frame $(frame)"
    kill "$window"
    wait "$window" 2>/dev/null || true
    window=
}
check centred "the window is centred with its frame"
check topLeft "a window larger than the screen keeps its top-left corner on it" QT_SCALE_FACTOR=2
