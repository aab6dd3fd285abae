#!/usr/bin/env bash
# The Windows build under Wine (Debian's wine, the ja_JP.UTF-8 locale, Xvfb):
#   tests/wine/windows.sh [build-windows] [native tessiva-batch] [screenshot.png]
# - the suites built for Windows (those that fork, mount or make device nodes
#   are not built there: tst_saveflow, tst_filewrite, tst_settingscodec,
#   tst_cli, and the window suites);
# - tessiva-batch.exe writes the worked examples byte for byte as the native
#   tool does, and its tree and re-run batch files run under cmd.exe
#   (tests/wine/run.sh);
# - tessiva.exe starts, makes a batch file from the keyboard that matches the
#   worked example, and its settings file survives a restart;
# - the installer (build-windows/dist/*-setup.exe) installs both programs for
#   every user with a Start menu entry, and its uninstaller removes them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build-windows}")
native=$(realpath "${2:-$here/../../build/tessiva-batch}")
screenshot=${3:-}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
fail() {
    echo "FAIL: $*" >&2
    import -window root "${TMPDIR:-/tmp}/tessiva-wine-failure.png" 2>/dev/null && echo "(the screen: ${TMPDIR:-/tmp}/tessiva-wine-failure.png)" >&2
    exit 1
}

# The suites built for Windows.
for suite in "$build"/tests/*.exe; do
    "$wine" "$suite" -o "$work/suite.txt,txt" >/dev/null 2>&1 || { cat "$work/suite.txt" >&2; fail "$(basename "$suite")"; }
    echo "ok: $(basename "$suite") under Wine: $(grep Totals "$work/suite.txt")"
done

# The worked examples, from Windows paths, byte for byte as the native tool:
# paths of drawings that are not there, so not read.
: > "$work/none.ini"
sources=('C:\DRAW\plan1.dxf' 'C:\My Work\site b.DXF')
examples=("-k r13-r12" "-k r13-gx3 -f binary" "-k r12-gx3 -p 16 -a C:\\Program?Files\\ACAD")
for options in "${examples[@]}"; do
    # "?" stands for the blank inside a word.
    read -r -a opts <<< "$options"
    opts=("${opts[@]//\?/ }")
    args=(-d 'D:\OUT\' -a 'C:\ACAD\' "${opts[@]}" "${sources[@]}")
    "$native" --settings "$work/none.ini" "${args[@]}" > "$work/expected.bat"
    (cd "$work" && "$wine" "$build/tessiva-batch.exe" --no-drawing-check --settings none.ini "${args[@]}" -o 'C:\JOB.BAT')
    cmp -s "$work/expected.bat" "$WINEPREFIX/drive_c/JOB.BAT" || fail "tessiva-batch.exe $options differs"
    # Standard output carries the same bytes: no text-mode line ends.
    (cd "$work" && "$wine" "$build/tessiva-batch.exe" --no-drawing-check --settings none.ini "${args[@]}") > "$work/stdout.bat"
    cmp -s "$work/expected.bat" "$work/stdout.bat" || fail "tessiva-batch.exe $options to standard output differs"
done
# UNC paths for the sources, the destination and the AutoCAD folder.
unc=(-d '\\srv\share\out' -a '\\srv\acad' '\\srv\draw\plan1.dxf' '\\srv\draw\sub\site b.dxf')
"$native" --settings "$work/none.ini" "${unc[@]}" > "$work/expected.bat"
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --no-drawing-check --settings none.ini "${unc[@]}") > "$work/stdout.bat"
cmp -s "$work/expected.bat" "$work/stdout.bat" || fail "tessiva-batch.exe with UNC paths differs"
grep -q '^\\\\SRV\\ACAD\\DXFIX.EXE ' "$work/stdout.bat" || fail "a UNC path was not kept"
echo "ok: tessiva-batch.exe writes the three worked examples byte for byte, and keeps UNC paths"
# NUL, Windows' empty device, is an empty settings file, as /dev/null is.
for none in NUL nul 'C:\NUL'; do
    (cd "$work" && "$wine" "$build/tessiva-batch.exe" --no-drawing-check --settings "$none" "${unc[@]}") > "$work/stdout.bat" \
        || fail "tessiva-batch.exe --settings $none failed"
    cmp -s "$work/expected.bat" "$work/stdout.bat" || fail "tessiva-batch.exe --settings $none differs"
done
echo "ok: tessiva-batch.exe --settings NUL reads no settings, as /dev/null on Linux"

# A refusal to a redirected standard error, as cmd.exe's "2> err.txt" makes
# it: in the Japanese console's code page, so that "type err.txt" reads it.
status=0
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --settings none.ini -d 'D:\OUT' -a 'C:\ACAD' 'C:\A\x.dwg') \
    > /dev/null 2> "$work/err.txt" || status=$?
[ "$status" -eq 5 ] || fail "tessiva-batch.exe refusing a .dwg: exit $status, not 5"
expected=$(printf '%s\n' 'DXFﾌｧｲﾙではありません！' | iconv -f UTF-8 -t CP932)
[ "$(head -1 "$work/err.txt" | tr -d "\r")" = "$expected" ] || fail "standard error is not in code page 932: $(head -1 "$work/err.txt" | od -An -tx1 | head -1)"
echo "ok: tessiva-batch.exe writes a redirected standard error in code page 932"
# A name Windows takes for a stream of another file: refused in the
# program's own words, nothing made.
status=0
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --no-drawing-check --settings none.ini -d 'D:\OUT' -a 'C:\ACAD' 'C:\A\x.dxf' \
    -o 'C:\JOBS\x:y.BAT') > /dev/null 2> "$work/err.txt" || status=$?
[ "$status" -eq 10 ] || fail "tessiva-batch.exe -o x:y.BAT: exit $status, not 10"
grep -q 'names a stream of another file' "$work/err.txt" || fail "tessiva-batch.exe -o x:y.BAT: $(cat "$work/err.txt")"
! grep -q QSaveFile "$work/err.txt" || fail "tessiva-batch.exe -o x:y.BAT: the toolkit's words"
[ ! -e "$WINEPREFIX/drive_c/JOBS/x" ] || fail "tessiva-batch.exe -o x:y.BAT made a file"
echo "ok: tessiva-batch.exe refuses a name that names a stream, in its own words"
grep -q $'\r\r' "$work/err.txt" && fail "standard error has doubled carriage returns"

# The sources read through Windows' own calls: one not there refuses the
# batch file, one of R14 is a warning; both named by their arguments.
mkdir -p "$WINEPREFIX/drive_c/CHECK"
printf '  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1014\r\n' > "$WINEPREFIX/drive_c/CHECK/R14.DXF"
status=0
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --settings none.ini -d 'D:\OUT' -a 'C:\ACAD' 'C:\CHECK\R14.DXF' \
    'C:\CHECK\GONE.DXF' -o 'C:\JOB12.BAT') > /dev/null 2> "$work/err.txt" || status=$?
[ "$status" -eq 12 ] || fail "tessiva-batch.exe with a source not there: exit $status, not 12"
# In the Japanese console's code page, as every word of the tool here.
said=$(iconv -f CP932 -t UTF-8 "$work/err.txt")
grep -qF "'C:\CHECK\GONE.DXF' (変換元の引数 2): ありません" <<< "$said" \
    || fail "tessiva-batch.exe did not name the source not there: $said"
grep -qF "警告: 'C:\CHECK\R14.DXF' (変換元の引数 1): R14 (AC1014) の DXF です" <<< "$said" \
    || fail "tessiva-batch.exe did not warn of R14: $said"
[ ! -e "$WINEPREFIX/drive_c/JOB12.BAT" ] || fail "tessiva-batch.exe wrote a batch file with a source not there"
echo "ok: tessiva-batch.exe reads its sources: one not there refused (12), one of R14 warned about"

# The help, redirected: CR LF line ends, and every line within an
# 80-column Japanese console (a code page 932 byte is a column).
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --help) > "$work/help.txt"
[ "$(grep -c $'\r$' "$work/help.txt")" -eq "$(wc -l < "$work/help.txt")" ] || fail "the help has bare LF line ends"
tr -d '\r' < "$work/help.txt" | LC_ALL=C awk 'length($0) > 79 { bad = 1; print "too wide: " length($0) " bytes" > "/dev/stderr" } END { exit bad }' \
    || fail "the help passes 80 columns"
echo "ok: tessiva-batch.exe --help fits an 80-column console, with CR LF line ends"
# Its words are Windows': what was not given is "not given", and no Z:.
helpJa=$(iconv -f CP932 -t UTF-8 "$work/help.txt" | tr -d '\r' | tr -d '\n')
for said in '変換元ファイルが指定されていない' '変換先フォルダが指定されていない' 'AutoCAD のフォルダが指定されていない'; do
    grep -qF "$said" <<< "$helpJa" || fail "the help does not say '$said'"
done
! grep -q 'Z:' "$work/help.txt" || fail "the help speaks of Z: on Windows"
echo "ok: tessiva-batch.exe --help says what was not given, and nothing of Z:"
# A wildcard that matches no file: a job without sources (2), the pattern named.
status=0
(cd "$work" && "$wine" "$build/tessiva-batch.exe" --settings none.ini -d 'D:\OUT' -a 'C:\ACAD' 'C:\nowhere\*.dxf') \
    > /dev/null 2> "$work/err.txt" || status=$?
[ "$status" -eq 2 ] || fail "a wildcard that matches nothing: exit $status, not 2"
grep -qF 'C:\nowhere\*.dxf' "$work/err.txt" || fail "a wildcard that matches nothing: $(cat "$work/err.txt")"
echo "ok: tessiva-batch.exe: a wildcard that matches nothing ends with 2, naming it"

bash "$here/run.sh" "$build/tessiva-batch.exe"
bash "$here/report.sh" "$build/tessiva-batch.exe"
bash "$here/parallel.sh" "$build/tessiva-batch.exe"

# The window, driven from the keyboard and the mouse, with the system's own
# file and folder dialogs. The Xvfb screen has no window manager: the window
# lies centred, the dialogs centred on it.
app=$work/app
mkdir -p "$app" "$WINEPREFIX/drive_c/DRAW" "$WINEPREFIX/drive_c/My Work"
cp "$build/tessiva.exe" "$app/"
# Drawings of the version the conversion takes, so that the save asks nothing.
r13='  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1012\r\n'
printf "$r13" > "$WINEPREFIX/drive_c/DRAW/plan1.dxf"
printf "$r13" > "$WINEPREFIX/drive_c/My Work/site b.DXF"
"$native" --no-drawing-check --settings "$work/none.ini" -d 'D:\OUT\' -a 'C:\ACAD\' "${sources[@]}" > "$work/expected.bat"

# The first visible window whose title holds $1, waited for up to 30 s.
waitFor() {
    local found=
    for _ in $(seq 1 150); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    [ -n "$found" ] || fail "no window named $1"
    echo "$found"
}
window=
start() {
    (cd "$app" && "$wine" tessiva.exe >/dev/null 2>&1 &)
    window=$(waitFor 'DXF to DXF')
    sleep 1
}
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.4; }
typed() { xdotool type --delay 20 "$1"; sleep 0.4; }
# Waits for the dialog (the system's own), whose file name field has the
# focus, and selects what it holds, so that typing replaces a proposed name.
dialogName() {
    waitFor "$1" >/dev/null
    sleep 1
    xdotool key Home shift+End
    sleep 0.3
}
addSource() { # name, modifier to hold while accepting
    click 101 112
    dialogName 'CTR'
    typed "$1"
    [ -n "${2:-}" ] && xdotool keydown "$2"
    xdotool key Return
    [ -n "${2:-}" ] && xdotool keyup "$2"
    waitClosed 'CTR'
}
waitClosed() {
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || { sleep 0.3; return 0; }
        sleep 0.2
    done
    fail "the dialog $1 stayed open"
}
saveAs() {
    click 496 433
    dialogName 'R13DXF to'
    typed "$1"
    xdotool key Return
    waitClosed 'R13DXF to'
}
quit() {
    xdotool key --window "$window" alt+f 2>/dev/null
    sleep 0.5
    xdotool key x
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name 'DXF to DXF' >/dev/null 2>&1 || break
        sleep 0.2
    done
    # Closed is not yet ended: the process stores its settings and goes.
    for _ in $(seq 1 150); do
        pgrep -f 'tessiva\.exe' >/dev/null || return 0
        sleep 0.2
    done
    fail "tessiva.exe did not close"
}

start
[ -z "$screenshot" ] || import -window root -crop 553x452+235+169 "$screenshot"
click 200 345
typed 'D:\OUT\'
# The AutoCAD folder from the system's folder dialog.
mkdir -p "$WINEPREFIX/drive_c/ACAD"
click 101 378
# Wine's folder dialog has a title of its own.
dialogName 'AutoCad|フォルダー'
typed 'C:\ACAD'
xdotool key Return
waitClosed 'AutoCad|フォルダー'
addSource 'C:\DRAW\plan1.dxf'
addSource '"C:\My Work\site b.DXF"' ctrl
saveAs 'C:\FIRST.BAT'
cmp -s "$work/expected.bat" "$WINEPREFIX/drive_c/FIRST.BAT" || fail "the window's batch file differs from the worked example"
quit
printf 'DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\OUT\\\r\nC:\\ACAD\\\r\n' > "$work/settings.ini"
cmp -s "$work/settings.ini" "$app/tessiva.ini" || fail "the settings file beside tessiva.exe holds other values"
echo "ok: tessiva.exe makes the worked example's batch file from the keyboard and stores its settings beside itself"

# After a restart the folders come from the settings file.
start
addSource 'C:\DRAW\plan1.dxf'
addSource '"C:\My Work\site b.DXF"' ctrl
saveAs 'C:\SECOND.BAT'
cmp -s "$work/expected.bat" "$WINEPREFIX/drive_c/SECOND.BAT" || fail "after a restart the batch file differs"
quit
cmp -s "$work/settings.ini" "$app/tessiva.ini" || fail "a close without a change rewrote the settings file"
echo "ok: the settings survive a restart, and a close without a change leaves them as they were"

# The tool beside the window takes the window's settings as its defaults.
cp "$build/tessiva-batch.exe" "$app/"
(cd "$app" && "$wine" tessiva-batch.exe "${sources[@]}") > "$work/defaults.bat"
cmp -s "$work/expected.bat" "$work/defaults.bat" || fail "tessiva-batch.exe beside tessiva.exe did not take its settings"
echo "ok: tessiva-batch.exe beside tessiva.exe takes the folders the window stored"

# The installer, silently, and its uninstaller.
setup=$(ls "$build"/dist/*-setup.exe 2>/dev/null | head -1 || true)
if [ -n "$setup" ]; then
    "$wine" "$setup" /S
    installed="$WINEPREFIX/drive_c/Program Files/Tessiva"
    for f in tessiva.exe tessiva-batch.exe uninstall.exe; do
        [ -f "$installed/$f" ] || fail "the installer did not install $f"
    done
    [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessiva.lnk" ] \
        || fail "the installer made no Start menu entry"
    "$wine" 'C:\Program Files\Tessiva\tessiva-batch.exe' --version | grep -q '^tessiva-batch ' \
        || fail "the installed tessiva-batch.exe does not run"
    # The read-me's example, as written, from a plain command prompt: the
    # tool by its bare name (its folder on the PATH), C:\DRAW\*.dxf expanded
    # by the tool itself.
    path() { "$wine" reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*SZ *//p'; }
    path | grep -qF 'C:\Program Files\Tessiva' || fail "the installer did not put its folder on the PATH: $(path)"
    printf "$r13" > "$WINEPREFIX/drive_c/DRAW/plan2.DXF"
    example=$(sed -n 's/^ \+\(tessiva-batch -.*\*\.dxf.*\)$/\1/p' "$here/../../packaging/windows/readme-ja.txt" | tr -d '\r')
    [ -n "$example" ] || fail "no example in the read-me"
    mkdir -p "$WINEPREFIX/drive_c/JOBS"
    # Typed at the prompt: a batch file holds the line as cmd.exe reads it
    # (wine's own command line would escape the quotes inside it).
    printf '@%s\r\n' "$example" | iconv -f UTF-8 -t CP932 > "$WINEPREFIX/drive_c/JOBS/example.bat"
    (cd "$WINEPREFIX/drive_c/JOBS" && "$wine" cmd /c example.bat </dev/null >/dev/null 2>"$work/err.txt") \
        || fail "the read-me's example failed: $example: $(iconv -f CP932 -t UTF-8 "$work/err.txt")"
    [ "$(grep -c 'DXFIX.EXE' "$WINEPREFIX/drive_c/JOBS/R13TOGX3.BAT")" -eq 4 ] \
        || fail "the read-me's example did not take both drawings of C:\\DRAW"
    status=0
    (cd "$WINEPREFIX/drive_c/JOBS" && "$wine" cmd /c 'tessiva-batch -d D:\OUT -a C:\ACAD C:\DRAW\*.dwg' </dev/null \
        >/dev/null 2>"$work/err.txt") || status=$?
    [ "$status" -eq 2 ] && grep -q 'C:\\DRAW\\\*.dwg' "$work/err.txt" \
        || fail "a pattern that matches nothing: exit $status, $(cat "$work/err.txt")"
    echo "ok: the read-me's example runs as written from a plain command prompt, by the tool's bare name"
    "$wine" uninstaller --list | grep -q '^Tessiva|' || fail "the installed program is not listed for uninstalling"
    "$wine" 'C:\Program Files\Tessiva\uninstall.exe' /S
    for _ in $(seq 1 50); do [ -e "$installed/tessiva.exe" ] || break; sleep 0.2; done
    [ ! -e "$installed/tessiva.exe" ] || fail "the uninstaller left tessiva.exe"
    ! "$wine" uninstaller --list | grep -q '^Tessiva|' || fail "after uninstall.exe /S the program is still listed"
    ! path | grep -qF 'C:\Program Files\Tessiva' || fail "the uninstaller left its folder on the PATH: $(path)"
    # Again, uninstalled the way the control panel does it: its entry's
    # command, answered on the uninstaller's own page.
    "$wine" "$setup" /S
    ("$wine" uninstaller --remove Tessiva >/dev/null 2>&1 &)
    uninstall=$(waitFor 'アンインストール')
    sleep 2
    xdotool windowfocus "$uninstall" 2>/dev/null || true
    xdotool key --window "$uninstall" Return
    for _ in $(seq 1 100); do [ -e "$installed/tessiva.exe" ] || break; sleep 0.2; done
    [ ! -e "$installed/tessiva.exe" ] || fail "the control panel's uninstall left tessiva.exe"
    for _ in $(seq 1 25); do "$wine" uninstaller --list | grep -q '^Tessiva|' || break; sleep 0.2; done
    ! "$wine" uninstaller --list | grep -q '^Tessiva|' || fail "after the control panel's uninstall the program is still listed"
    # Its last page closed, so that no uninstaller is left running.
    xdotool key --window "$uninstall" Return 2>/dev/null || true
    for _ in $(seq 1 150); do pgrep -f 'Un_A\.exe|Au_\.exe' >/dev/null || break; sleep 0.2; done
    echo "ok: the installer installs both programs with a Start menu entry; uninstall.exe and the control panel both remove them and their entry"
    # While Tessiva runs, the uninstaller removes nothing and says it failed;
    # once it is closed, everything goes.
    "$wine" "$setup" /S
    [ -f "$installed/README-ja.txt" ] || fail "the installer installed no Japanese read-me"
    [ ! -e "$installed/README.md" ] || fail "the installer installed the developers' README"
    ("$wine" 'C:\Program Files\Tessiva\tessiva.exe' >/dev/null 2>&1 &)
    window=$(waitFor 'DXF to DXF')
    sleep 1
    # The uninstaller runs from a copy of itself; its end is waited for.
    uninstallOnce() {
        "$wine" 'C:\Program Files\Tessiva\uninstall.exe' /S
        sleep 1
        for _ in $(seq 1 60); do pgrep -f 'Un_A\.exe|Au_\.exe' >/dev/null || break; sleep 0.5; done
        sleep 3
    }
    uninstallOnce
    [ -f "$installed/tessiva.exe" ] && [ -f "$installed/tessiva-batch.exe" ] && [ -f "$installed/uninstall.exe" ] \
        || fail "an uninstall while Tessiva ran removed a program"
    "$wine" uninstaller --list | grep -q '^Tessiva|' || fail "an uninstall while Tessiva ran removed its entry"
    [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessiva.lnk" ] \
        || fail "an uninstall while Tessiva ran removed the Start menu entry"
    # The uninstaller had the focus last.
    xdotool windowfocus "$window" 2>/dev/null || true
    sleep 0.5
    quit
    # A lock file beside the settings, as a crash leaves it: not the user's.
    : > "$installed/tessiva.ini.lock"
    uninstallOnce
    for _ in $(seq 1 50); do [ -e "$installed/tessiva.exe" ] || break; sleep 0.2; done
    [ ! -e "$installed/tessiva.exe" ] && [ ! -e "$installed/tessiva-batch.exe" ] && [ ! -e "$installed/uninstall.exe" ] \
        || fail "the uninstaller left a program"
    [ ! -e "$installed/tessiva.ini.lock" ] || fail "the uninstaller left the settings' lock file"
    ! "$wine" uninstaller --list | grep -q '^Tessiva|' || fail "after the uninstall the program is still listed"
    [ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessiva.lnk" ] \
        || fail "after the uninstall the Start menu entry is still there"
    echo "ok: with Tessiva running the uninstaller removes nothing; closed, it removes everything but the user's settings"
else
    echo "installer check skipped: no $build/dist/*-setup.exe (./dev windows makes it)"
fi
