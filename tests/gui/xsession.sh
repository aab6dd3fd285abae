# Sourced by the scripts that drive the real window: a 1024x768 X server
# (Xvfb) under a real window manager (openbox), a folder of the script's own
# as HOME and XDG_CONFIG_HOME, and the helpers they share. The caller sets
# `window` to the program it starts, so that it goes at the exit as well.
# Exits 77 (skipped) where Xvfb, openbox, xdotool, xwininfo or xprop are
# missing.
for tool in Xvfb openbox xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
window= wm= xvfb=
# The X server is waited for as it goes: a server that is still going down
# removes its socket, which by then may be the next session's, the same
# display number taken again (openbox: "Failed to open the display").
trap 'kill $window $wm $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

# Runs the command until it succeeds, ten times a second, for at most a minute.
until_true() {
    for _ in $(seq 1 600); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
fail() { echo "FAIL: $*"; exit 1; }

# Xvfb picks a display no other server holds, and names it once it serves it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
until_true grep -q . "$work/display" || fail "Xvfb did not start"
# The X server above, whatever platform the caller's environment names.
export DISPLAY=:$(cat "$work/display") XDG_CONFIG_HOME=$work/config HOME=$work QT_QPA_PLATFORM=xcb
openbox >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is there once it names itself on the root window.
until_true sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    || fail "openbox did not start: $(cat "$work/openbox.log")"

# Starts the window (the program in $1), waits for it, and gives the
# helpers that drive it: `click X Y` in its client area below the menu bar,
# `dialog NAME` / `gone NAME` waiting for a window of that title to show or
# go, `typed TEXT`.
startWindow() {
    "$1" >/dev/null 2>&1 &
    window=$!
    id=
    until_true windowFound || fail "the window did not show"
    menu=$(($(xwininfo -id "$id" | sed -n 's/.*Height: *//p') - 434))
}
windowFound() { id=$(xdotool search --onlyvisible --name 'DXF to DXF' 2>/dev/null | head -1) && [ -n "$id" ]; }
click() { xdotool mousemove --window "$id" "$1" $((menu + $2)) click 1; }
shows() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
dialog() { until_true shows "$1" || fail "no dialog '$1'"; }
gone() { until_true sh -c "! xdotool search --onlyvisible --name '$1' >/dev/null 2>&1" || fail "the dialog '$1' stayed"; }
typed() { xdotool type --delay 10 "$1"; }
