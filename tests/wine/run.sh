#!/usr/bin/env bash
# Runs batch files made with --tree and --skip-existing under Wine's
# cmd.exe, with a stand-in for DXFIX.EXE that copies each drawing:
#   tests/wine/run.sh [path/to/tessiva-batch | path/to/tessiva-batch.exe]
# - a tree of hostile names into a destination folder that does not exist
#   yet: every drawing converted, a second run converts nothing;
# - a run killed while the converter writes a drawing, and a converter that
#   writes half a drawing and fails, crashes or is stopped by Ctrl+C: the
#   next run converts that drawing again and nothing else;
# - every run with standard input closed, as a scheduled run has it: it
#   ends, and a user's own files in the destination (named as temporary
#   drawings once were) are left alone;
# - a folder where a drawing or a work file goes: that drawing is left out,
#   said so, status 1, the folder untouched;
# - every drawing that failed or was left out ends the run with status 1:
#   a crash, a drawing not made, a status the job checks, no converter.
# Needs Debian's wine and gcc-mingw-w64-x86-64-win32; not part of
# ./dev test, as Wine is heavy to install.
set -euo pipefail
. "$(dirname "$0")/prelude.sh"

# A tree whose folder names hold a blank, &, % and (x86), a Japanese name
# three levels down and a .DXF in capitals (the tree the window's folder
# item makes, as tst_saveaction compares it with the tool's). In byte
# order, "floor 1/plan.dxf" comes last.
drawings=("100%/plan.dxf" "Program Files (x86)/sub/plan.dxf" "R&D/plan.dxf" "R&D/図面/deep/x.DXF" "a.dxf"
          "floor 1/plan.dxf")
fresh() {
    rm -rf project out OUT acad/calls.log acad/half.txt JOB.BAT
    for f in "${drawings[@]}"; do
        mkdir -p "project/$(dirname "$f")"
        printf 'drawing %s, with some lines to cut in half\r\n' "$f" > "project/$f"
    done
    : > none.ini
    find project -iname '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project --skip-existing \
        -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 -o JOB.BAT "$@"
}

run() { runFile JOB.BAT; }
calls() { if [ -f acad/calls.log ]; then wc -l < acad/calls.log; else echo 0; fi; }
# Every drawing converted whole into its folder, and nothing left behind.
converted() {
    for f in "${drawings[@]}"; do
        found=$(out "$f")
        [ -n "$found" ] || fail "$1: not converted: $f"
        cmp -s "$found" "project/$f" || fail "$1: wrong contents: $found"
    done
    [ -z "$(out 'dummy*.dxf')" ] || fail "$1: an intermediate file was left"
    [ -z "$(out '*~tessiva~*')" ] || fail "$1: the work folder was left"
}

# After a run that stopped in "floor 1/plan.dxf", the last drawing: that
# drawing has no name of its own yet, and the next run converts it (two
# passes) and nothing else.
rerunConvertsItAlone() {
    [ -z "$(out 'floor 1/plan.dxf')" ] || fail "$1: a half-made drawing has its own name"
    rm acad/half.txt
    # A user's own file, named as temporary drawings once were, beside the
    # drawing the run converts.
    local mine
    mine="$(out 'floor 1')/~plan.dxf"
    printf 'mine\r\n' > "$mine"
    local before
    before=$(calls)
    run
    converted "$1"
    [ "$(cat "$mine")" = $'mine\r' ] || fail "$1: a user's own file was touched"
    [ $(($(calls) - before)) -eq 2 ] || fail "$1: the next run made $(($(calls) - before)) calls, not the two of one drawing"
    echo "ok: $1: the next run converts that drawing again and nothing else"
}

# A tree with a folder named like the intermediate file is refused: DEL of
# a folder asks a question that a run without a console waits on for ever.
rm -rf project && mkdir -p project/dummy.dxf && printf 'x\r\n' > project/dummy.dxf/a.dxf && : > none.ini
status=0
batch --settings none.ini --tree project -k r13-gx3 -d out -a acad project/dummy.dxf/a.dxf -o JOB.BAT 2>/dev/null || status=$?
[ "$status" -eq 8 ] || fail "a folder named like the intermediate file: exit $status, not 8"

# Names Windows reads as other names: each tree is refused before the save
# (exit 7), or else every drawing of it lands whole under cmd.exe.
hostile=("floor/plan.dxf|floor./plan.dxf|floor /plan.dxf" "rev./a.dxf|rev/a.dxf"
         "dummy.dxf./a.dxf|~TESSIVA~b.dxf./b.dxf|c.dxf /c.dxf|b.dxf|c.dxf"
         "con.dxf|aux.dxf|nul.dxf|com1.dxf|prn.dxf|lpt1.dxf|conin\$.dxf|con .dxf" "aux/a.dxf|nul/b.dxf"
         "rev 10:30.dxf")
# A backslash inside a name is a Linux name's: the Windows build reads it as
# a separator, as Windows does.
[[ $tool == *.exe ]] || hostile+=("bs/a\\b.dxf|bs/a/b.dxf")
for tree in "${hostile[@]}"; do
    IFS='|' read -r -a names <<< "$tree"
    rm -rf project out JOB.BAT && mkdir project
    for f in "${names[@]}"; do
        mkdir -p "project/$(dirname "$f")" && printf 'drawing %s\r\n' "$f" > "project/$f"
    done
    status=0
    find project -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project --skip-existing \
        -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 -o JOB.BAT 2>/dev/null || status=$?
    if [ "$status" -eq 0 ]; then
        run
        for f in "${names[@]}"; do
            found=$(out "$f")
            [ -n "$found" ] && cmp -s "$found" "project/$f" || fail "$tree: accepted, but $f did not land"
        done
    else
        [ "$status" -eq 7 ] || fail "$tree: exit $status, not 7"
        [ ! -e JOB.BAT ] || fail "$tree: refused, yet a batch file was written"
    fi
done
echo "ok: names Windows reads as others are refused before the save"

fresh
# The destination folder does not exist yet: the batch file makes it.
run
converted "first run"
[ "$(calls)" -eq 12 ] || fail "expected 12 converter calls (two passes for six drawings), saw $(calls)"
run
[ "$(calls)" -eq 12 ] || fail "the second run converted again ($(calls) calls)"
echo "ok: six drawings converted into a new destination folder, nothing converted again"

# The stand-in's choice: the second pass of "floor 1/plan.dxf", the last
# drawing, which writes the run's work file DRAWING.DXF.
last() { printf 'drawing floor 1/plan.dxf,\n%s\nDRAWING.DXF\n' "$1" > acad/half.txt; }
# Killed while the second pass writes the last drawing.
fresh
last hang
run &
halfMade() { grep -qa 'drawing floor 1/plan.dxf' "$(out '~tessiva~/drawing.dxf')" 2>/dev/null; }
waitUntil halfMade || fail "the stand-in never started the drawing it hangs in"
stopWine
wait
rerunConvertsItAlone "a run killed in the middle of a drawing"

# A converter that writes half and crashes, its exit status not checked:
# a negative status is never a finished drawing.
fresh
last crash
run
[ "$status" -eq 1 ] || fail "a crash, the exit status not checked: exit $status, not 1"
rerunConvertsItAlone "a conversion that crashed, the exit status not checked"

# A converter that makes nothing and ends with 0.
fresh
last none
run
[ "$status" -eq 1 ] || fail "a drawing not made: exit $status, not 1"
iconv -f CP932 -t UTF-8 console.txt | grep -qF '変換できませんでした: ' || fail "a drawing not made: not said"
rerunConvertsItAlone "a conversion that made no drawing"

# A converter that writes half and fails, crashes, or is stopped by Ctrl+C
# (the prompt's question answered with N, so the run goes on), with its
# exit status checked: any status but 0.
for mode in exit crash ctrl-c; do
    fresh --check-exit-status
    last "$mode"
    run
    [ "$status" -eq 1 ] || fail "'$mode', the exit status checked: exit $status, not 1"
    rerunConvertsItAlone "a conversion that ended with '$mode'"
done

# No converter where the job says: every drawing fails, status 1.
fresh
rm -rf acad2 && mkdir acad2
find project -iname '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project --skip-existing \
    -k r13-gx3 -d out -a acad2 -l - --list-encoding utf-8 -o JOB.BAT
run
[ "$status" -eq 1 ] || fail "no converter: exit $status, not 1"
[ -z "$(out '*.dxf')" ] || fail "no converter: a drawing was made"
rm -rf acad2
echo "ok: without the converter every drawing fails, status 1"

# Folders, each holding a user's file, where a drawing and a work file go:
# those drawings are left out and said so, the run ends with 1, and the
# folders keep what they hold; the rest is converted. A user's folder
# named as the plain form's intermediate file is none of this run's
# business.
fresh
mkdir -p out/A.DXF out/DUMMY.DXF
printf 'mine\r\n' > out/A.DXF/mine.txt
printf 'mine\r\n' > out/DUMMY.DXF/mine.txt
run
[ "$status" -eq 1 ] || fail "folders: exit $status, not 1"
for folder in A.DXF DUMMY.DXF; do
    [ "$(cat "out/$folder/mine.txt")" = $'mine\r' ] || fail "folders: the user's file in $folder was touched"
done
iconv -f CP932 -t UTF-8 console.txt | grep -qF "フォルダがあるので変換しません: " \
    && iconv -f CP932 -t UTF-8 console.txt | grep -qF '\OUT\A.DXF' || fail "folders: A.DXF was not named"
[ "$(calls)" -eq 10 ] || fail "folders: expected the 10 calls of the other five drawings, saw $(calls)"
rm -rf out/A.DXF && mkdir -p out/~TESSIVA~/DUMMY.DXF && printf 'mine\r\n' > out/~TESSIVA~/DUMMY.DXF/mine.txt
run
[ "$status" -eq 1 ] || fail "the work file's folder: exit $status, not 1"
[ "$(cat out/~TESSIVA~/DUMMY.DXF/mine.txt)" = $'mine\r' ] || fail "the user's file in the work file's folder was touched"
[ "$(calls)" -eq 10 ] || fail "the work file's folder: the converter ran ($(calls) calls)"
echo "ok: a folder where a drawing or a work file goes: left out, said, status 1, the folder untouched"
