# What the Wine suites share, sourced by each with the tool as $1: a Wine
# of its own in a new work folder, a Japanese Windows (cmd.exe reads a
# batch file in code page 932, the only code page the checked forms run
# in), the stand-in converter in acad/, and these:
#   batch ARGS...   the tool, native or the Windows build under Wine
#   runCmd FILE CONSOLE [ARGS...]
#                   FILE with ARGS under cmd.exe as runFile does; its
#                   status is its own
#   runFile FILE [CONSOLE]
#                   runs FILE of the work folder under cmd.exe, standard
#                   input closed as a scheduled run has it, its console in
#                   CONSOLE (console.txt): its status in $status; one that
#                   does not end in two minutes fails
#   startFile FILE CONSOLE
#                   the same in the background, its process in $started
#   waitUntil CMD.. true once CMD is, asked ten times a second for 30 s
#   stopWine        kills every Windows process of the suite and waits
#                   until its server is gone, so that the next run never
#                   starts on a server that is still going down
#   out PATTERN     the first file under out/ whose path matches, in any
#                   case (the batch file names what it makes in upper case)
#   fail WORDS      says so, with the end of the last console, and ends
#                   the suite
# The work folder stays with KEEP set.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tool=$(realpath "${1:-$here/../../build/tessiva-batch}")
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
cleanUp() {
    wineserver -k >/dev/null 2>&1 || true
    umount "$work/ro" 2>/dev/null || true
    umount "$work/out" 2>/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanUp EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
# A crash ends at once, with no dialog that keeps the process.
"$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# The suites' sources are stand-ins that the stand-in converter reads
# ("drawing a.dxf, ..."), not drawings: the tool reads none of them, but
# through checkedBatch.
checkedBatch() { if [[ $tool == *.exe ]]; then "$wine" "$tool" "$@"; else "$tool" "$@"; fi; }
batch() { checkedBatch --no-drawing-check "$@"; }
# A failure shows the end of what the last run said, so that a failure
# seen once, in CI, can be read.
fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/console.txt" ]; then
        echo "-- the end of the last run's console:" >&2
        iconv -f CP932 -t UTF-8 -c "$work/console.txt" | tail -n 30 >&2 || true
    fi
    exit 1
}
runCmd() {
    local file=$1 console=$2
    shift 2
    timeout 120 "$wine" cmd /c "$("$wine" winepath -w "$work/$file" 2>/dev/null)" "$@" </dev/null >"$console" 2>&1
}
runFile() {
    status=0
    runCmd "$1" "${2:-console.txt}" || status=$?
    [ "$status" -ne 124 ] || fail "$1 did not end"
}
startFile() {
    runCmd "$1" "$2" &
    started=$!
}
waitUntil() {
    local _
    for _ in $(seq 1 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
stopWine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
out() { find . -ipath "./out/$1" 2>/dev/null | head -1; }
mkdir -p "$work/acad"
x86_64-w64-mingw32-gcc -O2 -o "$work/acad/DXFIX.EXE" "$here/fakedxfix.c"
cd "$work"
