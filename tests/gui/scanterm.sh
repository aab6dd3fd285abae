#!/usr/bin/env bash
# A SIGTERM while the folder item searches a large folder, under a real
# window manager (openbox on Xvfb):
#   tests/gui/scanterm.sh path/to/tessiva
# The search is made slow (every directory read held back a tenth of a
# second by strace), so that it would go on for a minute; the window is
# asked to end once its progress shows. It ends long before the search
# would have (a generous bound: 10 seconds), with status 0, and stores its
# settings as a close does.
# Exits 77 (skipped) where a tool of tests/gui/xsession.sh, or strace, is
# missing.
set -euo pipefail
tessiva=$1
command -v strace >/dev/null || { echo "skipped: strace is not installed"; exit 77; }
source "$(dirname "$0")/xsession.sh"
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb

mkdir -p "$work/config/tessiva"
printf 'DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\OUT\\\r\nC:\\ACAD\\\r\n' > "$work/config/tessiva/tessiva.ini"
# 600 folders, each read at least twice: a minute of reading.
for i in $(seq 1 20); do mkdir -p "$work/big/$i"/{1..30}; done

# Every directory read of the window's process held back, once the window
# is up: the folder dialog and the search read directories, and little else.
strace -f -qq -o /dev/null -e trace=getdents64 -e inject=getdents64:delay_exit=100000:when=400+ \
    "$tessiva" >/dev/null 2>&1 &
tracer=$!
window=
for _ in $(seq 1 100); do
    window=$(pgrep -P "$tracer" -n || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "the window did not start"
id=
found() { id=$(xdotool search --onlyvisible --name 'DXF to DXF' 2>/dev/null | head -1) && [ -n "$id" ]; }
until_true found || fail "the window did not show"
dialog() { until_true sh -c "xdotool search --onlyvisible --name '$1' >/dev/null 2>&1" || fail "no window '$1'"; }
xdotool windowactivate --sync "$id"
# The file menu's folder item, and the folder typed into its dialog.
xdotool key --window "$id" alt+f
sleep 0.5
xdotool key Return
dialog '変換元'
xdotool key ctrl+a && xdotool type --delay 10 "$work/big" && xdotool key Return
sleep 1
xdotool key Return
dialog 'フォルダから追加'
asked=$(date +%s%N)
kill -TERM "$window"
ended=
for _ in $(seq 1 100); do
    kill -0 "$window" 2>/dev/null || { ended=$(date +%s%N); break; }
    sleep 0.1
done
[ -n "$ended" ] || fail "the window did not end within 10 seconds of SIGTERM"
# strace ends as its tracee did.
status=0
wait "$tracer" || status=$?
window=
[ "$status" -eq 0 ] || fail "the window ended with $status"
[ "$(grep -c . "$work/config/tessiva/tessiva.ini")" -eq 4 ] || fail "the settings were not kept"
echo "ok: SIGTERM during a search ends the window in $(((ended - asked) / 1000000)) ms, status 0"
