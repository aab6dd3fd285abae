#!/usr/bin/env bash
# A SIGTERM while the folder item searches a large folder, under a real
# window manager (openbox on Xvfb):
#   tests/gui/scanterm.sh path/to/tessiva
# The search is made slow (every directory read held back a tenth of a
# second by strace), so that it would go on for a minute; the window is
# asked to end once its progress shows. It ends long before the search
# would have: within half a second of what ending takes when idle, measured
# in the same run, with status 0, its settings stored as a close does.
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

# The window started under strace, every directory read of its process
# held back once it is up (the folder dialog and the search read
# directories, and little else); its process in $window, its X window in $id.
startWindow() {
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
    xdotool windowactivate --sync "$id"
}
dialog() { until_true sh -c "xdotool search --onlyvisible --name '$1' >/dev/null 2>&1" || fail "no window '$1'"; }
# SIGTERM to the window: the milliseconds it took to end, its status 0 and
# its settings kept.
endIt() {
    local asked ended= status=0
    asked=$(date +%s%N)
    kill -TERM "$window"
    for _ in $(seq 1 100); do
        kill -0 "$window" 2>/dev/null || { ended=$(date +%s%N); break; }
        sleep 0.02
    done
    [ -n "$ended" ] || fail "the window did not end within 10 seconds of SIGTERM"
    # strace ends as its tracee did.
    wait "$tracer" || status=$?
    window=
    [ "$status" -eq 0 ] || fail "the window ended with $status"
    [ "$(grep -c . "$work/config/tessiva/tessiva.ini")" -eq 4 ] || fail "the settings were not kept"
    took=$(((ended - asked) / 1000000))
}

# Idle, as a measure of what ending takes here.
startWindow
endIt
idle=$took
# During a search: the file menu's folder item, and the folder typed into
# its dialog.
startWindow
xdotool key --window "$id" alt+f
sleep 0.5
xdotool key Return
dialog '変換元'
xdotool key ctrl+a && xdotool type --delay 10 "$work/big" && xdotool key Return
sleep 1
xdotool key Return
dialog 'フォルダから追加'
endIt
[ "$took" -le $((idle + 500)) ] || fail "SIGTERM during a search took $took ms, idle $idle ms"
echo "ok: SIGTERM during a search ends the window in $took ms (idle: $idle ms), status 0"
