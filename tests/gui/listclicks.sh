#!/usr/bin/env bash
# The source list through the real window, under a real window manager
# (openbox on Xvfb), with real clicks and the real open and save dialogs:
#   tests/gui/listclicks.sh path/to/tessiva
# - three drawings chosen in the open dialog, the first line clicked, then a
#   double-click on the empty area below the lines: no line goes, and the
#   saved batch file has all three;
# - a drawing of a long path: the pointer on its line shows a tooltip.
# Each step waits for the window or dialog it needs, up to a minute.
# Exits 77 (skipped) where a tool of tests/gui/xsession.sh is missing.
set -euo pipefail
tessiva=$1
source "$(dirname "$0")/xsession.sh"
export LC_ALL=C.UTF-8

# The folders the batch file needs, as the window last stored them.
mkdir -p "$work/config/tessiva" "$work/draw"
printf 'DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\OUT\\\r\nC:\\ACAD\\\r\n' > "$work/config/tessiva/tessiva.ini"
# Drawings of the version the conversion takes, so that the save asks nothing.
drawing() { printf '  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1012\r\n' > "$1"; }
for f in a b c; do drawing "$work/draw/$f.dxf"; done
long="$work/draw/$(printf 'folder-of-a-long-name-%.0s' 1 2 3 4)"
mkdir -p "$long"
drawing "$long/the-name-to-see.dxf"

startWindow "$tessiva"
choose() { # a folder, then the names to take there, in the open dialog
    click 101 93
    dialog CTR
    xdotool key ctrl+a && typed "$1" && xdotool key Return
    xdotool key ctrl+a && typed "$2" && xdotool key Return
    gone CTR
}

choose "$work/draw" '"a.dxf" "b.dxf" "c.dxf"'
click 40 108 # the first line
# Apart from the double-click by more than the desktop's double-click time,
# so that it is a click of its own.
sleep 0.6
# A double-click on the empty area below the lines.
xdotool mousemove --window "$id" 40 $((menu + 260)) click --repeat 2 --delay 80 1
click 497 415                       # save
dialog R13DXF
xdotool key ctrl+a && typed "$work/OUT.BAT" && xdotool key Return
gone R13DXF
until_true test -s "$work/OUT.BAT" || fail "no batch file was saved"
lines=$(grep -c 'DXFIX.EXE' "$work/OUT.BAT")
[ "$lines" -eq 3 ] || fail "the batch file has $lines drawings, not 3"
echo "ok: a double-click below the lines deletes none of them; the batch file has all three"

# A long path: the pointer on its line brings its tooltip.
choose "$long" '"the-name-to-see.dxf"'
xdotool mousemove --window "$id" 200 $((menu + 108))
tip() {
    local w
    for w in $(xdotool search --onlyvisible --class tessiva 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP && return 0
    done
    return 1
}
until_true tip || fail "no tooltip on the long line"
echo "ok: the long line shows its tooltip"
