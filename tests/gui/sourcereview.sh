#!/usr/bin/env bash
# The look at the sources before a save, in the real window under a real
# window manager (openbox on Xvfb), with real files and real keys:
#   tests/gui/sourcereview.sh path/to/tessiva [screenshot.png]
# - a drawing of R13, one of R14, a DWG and an empty file chosen, then the
#   save: the review dialog shows; Enter stops, and no save dialog follows;
# - the save again: the dialog again; Alt+G goes on to the save dialog, and
#   the batch file names all four.
# With a second argument, the review dialog is photographed there.
# Exits 77 (skipped) where a tool of tests/gui/xsession.sh is missing.
set -euo pipefail
tessiva=$1
shot=${2:-}
source "$(dirname "$0")/xsession.sh"
export LC_ALL=C.UTF-8

mkdir -p "$work/config/tessiva" "$work/draw"
printf 'DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\OUT\\\r\nC:\\ACAD\\\r\n' > "$work/config/tessiva/tessiva.ini"
dxf() { printf '  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n%s\r\n' "$1"; }
dxf AC1012 > "$work/draw/a.dxf"
dxf AC1014 > "$work/draw/b.dxf"
printf 'AC1015\0\0\0\0' > "$work/draw/c.dxf"
: > "$work/draw/d.dxf"

startWindow "$tessiva"

click 101 93
dialog CTR
xdotool key ctrl+a && typed "$work/draw" && xdotool key Return
xdotool key ctrl+a && typed '"a.dxf" "b.dxf" "c.dxf" "d.dxf"' && xdotool key Return
gone CTR

review='変換元ﾌｧｲﾙの確認'
click 497 415 # save
dialog "$review"
if [ -n "$shot" ]; then
    # Drawn once it has been painted: the window manager has framed it.
    until_true sh -c "xwininfo -id \$(xdotool search --onlyvisible --name '$review' | head -1) | grep -q 'Map State: IsViewable'"
    import -window root "$shot"
fi
xdotool key Return # the default: stop
gone "$review"
# The next dialog is the review's again, never the save dialog in between.
click 497 415
until_true sh -c "xdotool search --onlyvisible --name '$review' >/dev/null 2>&1 || xdotool search --onlyvisible --name R13DXF >/dev/null 2>&1"
! shows R13DXF || fail "stopping went on to the save dialog"
echo "ok: the review dialog shows; Enter stops the save"
xdotool key alt+g
gone "$review"
dialog R13DXF
xdotool key ctrl+a && typed "$work/OUT.BAT" && xdotool key Return
gone R13DXF
until_true test -s "$work/OUT.BAT" || fail "no batch file was saved"
lines=$(grep -c 'DXFIX.EXE' "$work/OUT.BAT")
[ "$lines" -eq 4 ] || fail "the batch file has $lines drawings, not 4"
echo "ok: going on saves the batch file with all four"
