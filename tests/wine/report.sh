#!/usr/bin/env bash
# Runs report-form batch files (--report) under Wine's cmd.exe, standard
# input closed, with the stand-in converter of run.sh:
#   tests/wine/report.sh [path/to/tessiva-batch | path/to/tessiva-batch.exe]
# - converters that succeed, fail with 1, crash, make no drawing and end
#   with 0, or are killed mid-drawing: the report's lines and counts and the
#   batch file's exit status say what happened, and the next run reports
#   the earlier drawings as already there and converts the failed one;
# - a status other than 0 the job does not fail: the drawing is to be
#   looked at, counted apart and listed at the end of the report;
# - a drawing an earlier run left is kept when this run's conversion fails;
# - hostile names appear in the report byte for byte, and nothing else is
#   made or deleted;
# - a report that cannot be written: every drawing still converted;
# - a caller's variable named ERRORLEVEL does not stand in for the status;
# - a folder where a drawing or one of the run's work files goes fails that
#   drawing, named, and is neither deleted nor moved into;
# - a work file the run cannot remove (read-only, holding another drawing)
#   is never taken for a drawing: each drawing fails, naming it;
# - folders at the names beside the batch file (NAME.LCK, NAME.LOG,
#   NAME.TMP): no question asked, each named, the failure list on the
#   console;
# - no converter or parameter file: the run stops before the first drawing;
# - a second run of the batch file while one goes on is refused, and so is
#   a run of another batch file into the same destination;
# - a caller's DATE or TIME runs no command;
# - a console that does not read code page 932 runs nothing.
set -euo pipefail
. "$(dirname "$0")/prelude.sh"
# The parameter files a report-form run looks for before it starts.
printf 'parameters\r\n' > "$work/acad/DXFIX13.DXT"
printf 'parameters\r\n' > "$work/acad/DXFIX.DXT"

: > none.ini

# Hostile names: cmd.exe's operators, % and !, a leading blank, names ECHO
# could take for its own words, a digit before where a redirection would
# go, and double-byte characters whose second byte is \, | or ^.
drawings=("R&D (1)/plan.dxf" "100%/a^b.dxf" "x,y;z=w!/ON.dxf" " lead/OFF.dxf" "2/1.dxf" "表ソ/ポタ.dxf" "a.dxf")
count=${#drawings[@]}
win() { printf 'Z:%s' "$(pwd | tr / '\\')"; }
fresh() {
    rm -rf project out OUT acad/calls.log acad/half.txt JOB.BAT JOB.LOG
    for f in "${drawings[@]}"; do
        mkdir -p "project/$(dirname "$f")"
        printf 'drawing %s, with some lines to cut in half\r\n' "$f" > "project/$f"
    done
    find project -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project --report \
        -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 -o JOB.BAT "$@"
}
run() { runFile JOB.BAT; }
report() { iconv -f CP932 -t UTF-8 JOB.LOG | tr -d '\r'; }
# The report's line for drawing $1 (a name of $drawings): "n/N WORDS: SOURCE".
lineOf() {
    local n=0 f
    while IFS= read -r f; do
        n=$((n + 1))
        if [ "$f" = "project/$1" ]; then
            printf '%d/%d %s: %s\\%s' "$n" "$count" "$2" "$(win)" "$(printf '%s' "$f" | tr / '\\')"
            return
        fi
    done < <(find project -name '*.dxf' | LC_ALL=C sort)
}
hasLine() { report | grep -qxF -- "$1" || { report >&2; fail "$3: the report has no line '$1'"; }; }
counts() { printf '変換しました: %d 件、要確認: %d 件、既にあるので飛ばしました: %d 件、失敗しました: %d 件' "$@"; }
convertedWhole() {
    local f found
    for f in "${drawings[@]}"; do
        found=$(out "${f%.dxf}.dxf")
        [ -n "$found" ] && cmp -s "$found" "project/$f" || fail "$1: not converted whole: $f"
    done
    [ -z "$(find . -ipath './out/*~tessiva~*' -o -ipath './out/*dummy*.dxf' | head -1)" ] || fail "$1: a temporary file was left"
}

# Every drawing converted: each name in the report byte for byte, status 0,
# and nothing made but the drawings and the report.
fresh --skip-existing
before=$(find project | LC_ALL=C sort)
run
[ "$status" -eq 0 ] || fail "all converted: exit $status"
convertedWhole "all converted"
for f in "${drawings[@]}"; do hasLine "$(lineOf "$f" 変換しました)" "" "all converted"; done
hasLine "$(counts "$count" 0 0 0)" "" "all converted"
[ "$(report | head -1)" = "Tessiva 実行結果" ] || fail "the report's first line"
hasLine "図面の数: $count" "" "all converted"
[ "$(find project | LC_ALL=C sort)" = "$before" ] || fail "the sources changed"
[ "$(ls | LC_ALL=C sort | tr '\n' ' ')" = "JOB.BAT JOB.LOG OUT acad console.txt none.ini prefix project " ] \
    || fail "something else was made: $(ls)"
grep -q "$(printf '1/%d' "$count")" console.txt || fail "no progress on the console"
echo "ok: a report of $count hostile names, byte for byte, status 0"

# A second run: every drawing already there.
run
[ "$status" -eq 0 ] || fail "a second run: exit $status"
hasLine "$(counts 0 0 "$count" 0)" "" "a second run"
hasLine "$(lineOf "a.dxf" 既にあるので飛ばしました)" "" "a second run"
echo "ok: a second run reports every drawing as already there"

# One drawing fails in each way; the next run converts it alone. A crash
# and an interrupted run are said in words, with the status; the report
# ends with the drawings that failed.
failing="2/1.dxf"
# The stand-in's choice of the second pass of that drawing: its name, as
# the drawing's first line gives it, and the work file the pass makes.
part=$(printf 'drawing %s,\nMODE\nDRAWING.DXF' "$failing")
# A half-made drawing in the work folder, of the drawing $1.
halfMade() { grep -qa "drawing $1" "$(out '~tessiva~/drawing.dxf')" 2>/dev/null; }
for mode in exit crash ctrl-c none hang; do
    case $mode in
    exit) why='2回目の変換 R12→GX3: 終了ステータス 1'; flags=(--skip-existing --check-exit-status) ;;
    crash) why='2回目の変換 R12→GX3: アクセス違反で異常終了しました、終了ステータス -1073741819 (0xC0000005)'
           flags=(--skip-existing) ;;
    ctrl-c) why='2回目の変換 R12→GX3: 中断されました、終了ステータス -1073741510 (0xC000013A)'
            flags=(--skip-existing) ;;
    none) why='2回目の変換 R12→GX3: 図面ができませんでした'; flags=(--skip-existing) ;;
    hang) flags=(--skip-existing) ;;
    esac
    fresh "${flags[@]}"
    printf '%s\n' "${part/MODE/$mode}" > acad/half.txt
    if [ "$mode" = hang ]; then
        run &
        waitUntil halfMade "$failing" || fail "killed: the stand-in never started the drawing it hangs in"
        stopWine
        wait
        report | grep -qF "$(lineOf "$failing" "")" && fail "killed: the drawing it hung in was reported"
    else
        run
        [ "$status" -eq 1 ] || fail "$mode: exit $status, not 1"
        hasLine "$(lineOf "$failing" "失敗しました（$why）")" "" "$mode"
        hasLine "$(counts $((count - 1)) 0 0 1)" "" "$mode"
        [ "$(report | sed -n '/^失敗したか要確認の図面:$/,/^終了: /p' | sed '1d;$d')" = "$(lineOf "$failing" "失敗しました（$why）")" ] \
            || fail "$mode: the report does not end with the failed drawing"
    fi
    [ -z "$(out "$failing")" ] || fail "$mode: the failed drawing has its own name"
    rm acad/half.txt
    run
    [ "$status" -eq 0 ] || fail "$mode: the next run: exit $status"
    convertedWhole "$mode, the next run"
    hasLine "$(lineOf "$failing" 変換しました)" "" "$mode, the next run"
    if [ "$mode" = hang ]; then
        # Killed in drawing 1 of the sorted list or later: only those before it are there.
        report | grep -qF "既にあるので飛ばしました" || fail "hang: nothing reported as there"
    else
        hasLine "$(counts 1 0 $((count - 1)) 0)" "" "$mode, the next run"
    fi
    echo "ok: a converter that ended with '$mode': reported, status 1; the next run converts it alone"
done

# A converter that wrote half a drawing and ended with 1, where the job does
# not check the status: never a clean conversion. The drawing is to be
# looked at, with its status, counted apart and listed at the end.
fresh --skip-existing
printf '%s\n' "${part/MODE/exit}" > acad/half.txt
run
[ "$status" -eq 0 ] || fail "a status not checked: exit $status"
look="$(lineOf "$failing" "要確認（2回目の変換 R12→GX3: 終了ステータス 1）")"
hasLine "$look" "" "a status not checked"
hasLine "$(counts $((count - 1)) 1 0 0)" "" "a status not checked"
[ "$(report | sed -n '/^失敗したか要確認の図面:$/,/^終了: /p' | sed '1d;$d')" = "$look" ] \
    || fail "a status not checked: the report does not end with the drawing to look at"
grep -qF "$(printf '要確認（2回目の変換 R12→GX3: 終了ステータス 1）' | iconv -f UTF-8 -t CP932)" console.txt \
    || fail "a status not checked: not said on the console"
rm acad/half.txt
echo "ok: a status the job does not check leaves the drawing to look at, counted apart and listed"

# Without --skip-existing, a drawing the earlier run left stays when this
# run's conversion of it fails.
fresh
mkdir -p out && printf 'the earlier drawing\r\n' > out/A.DXF
printf 'drawing a.dxf,\nnone\nDRAWING.DXF\n' > acad/half.txt
run
[ "$status" -eq 1 ] || fail "an earlier drawing: exit $status"
[ "$(cat out/A.DXF)" = $'the earlier drawing\r' ] || fail "an earlier drawing was lost"
hasLine "$(lineOf "a.dxf" "失敗しました（2回目の変換 R12→GX3: 図面ができませんでした）")" "" "an earlier drawing"
echo "ok: a failed conversion keeps the drawing an earlier run left"

# A report that cannot be written (the batch file on a read-only disk, as
# on a CD): every drawing converted all the same, said once on the console.
fresh --skip-existing
mkdir ro
if mount -t tmpfs -o size=1m tmpfs ro 2>/dev/null; then
    cp JOB.BAT ro/ && mount -o remount,ro ro
    runFile ro/JOB.BAT
    umount ro
    [ "$status" -eq 0 ] || fail "no report: exit $status"
    convertedWhole "no report"
    [ "$(iconv -f CP932 -t UTF-8 console.txt | grep -c '実行結果を記録できません')" -eq 1 ] || fail "no report: not said once"
    [ "$(iconv -f CP932 -t UTF-8 console.txt | grep -c .)" -eq $((count + 2)) ] \
        || fail "no report: the console says more: $(iconv -f CP932 -t UTF-8 console.txt)"
    echo "ok: a report that cannot be written: every drawing converted, said once"
else
    echo "skipped: a report that cannot be written (no tmpfs can be mounted here)"
fi

# What lies in the work folder and below it, the Wine prefix aside.
everything() { find . -path ./prefix -prune -o -print | LC_ALL=C sort; }

# A caller that set a variable named ERRORLEVEL: the converter's crash is
# still a failure, the caller sees status 1, and no half drawing stands at
# the drawing's name.
fresh
printf '%s\n' "${part/MODE/crash}" > acad/half.txt
printf '@ECHO OFF\r\nSET ERRORLEVEL=0\r\nCALL JOB.BAT\r\nIF ERRORLEVEL 1 EXIT /B 1\r\nEXIT /B 0\r\n' > CALLER.BAT
runFile CALLER.BAT
[ "$status" -eq 1 ] || fail "a caller's ERRORLEVEL: exit $status, not 1"
hasLine "$(lineOf "$failing" "失敗しました（2回目の変換 R12→GX3: アクセス違反で異常終了しました、終了ステータス -1073741819 (0xC0000005)）")" \
    "" "a caller's ERRORLEVEL"
[ -z "$(out "$failing")" ] || fail "a caller's ERRORLEVEL: the half drawing stands at its name"
rm acad/half.txt CALLER.BAT
echo "ok: a caller's variable named ERRORLEVEL does not stand in for the converter's status"

# The work folder as the batch file names it, in upper case.
winUpper() { win | tr '[:lower:]' '[:upper:]'; }

# Folders where a drawing or a work file goes, each holding a user's file:
# no question asked, nothing deleted or moved into them, the drawings
# failed with the folder named; with --skip-existing the drawing's folder
# is not a drawing already there. A user's folder named as the plain form's
# intermediate file is none of the run's business.
fresh --skip-existing
mkdir -p out/A.DXF out/DUMMY.DXF && printf 'mine\r\n' > out/A.DXF/mine.txt && printf 'mine\r\n' > out/DUMMY.DXF/mine.txt
run
[ "$status" -eq 1 ] || fail "folders: exit $status, not 1"
hasLine "$(lineOf "a.dxf" "失敗しました（フォルダがあります: $(winUpper)\\OUT\\A.DXF）")" "" "a drawing's folder"
hasLine "$(counts $((count - 1)) 0 0 1)" "" "folders"
for folder in A.DXF DUMMY.DXF; do
    [ "$(cat "out/$folder/mine.txt")" = $'mine\r' ] || fail "folders: the user's file in $folder was touched"
done
rm -rf out/A.DXF out/DUMMY.DXF
for file in DUMMY.DXF DRAWING.DXF; do
    rm -rf out && mkdir -p "out/~TESSIVA~/$file" && printf 'mine\r\n' > "out/~TESSIVA~/$file/mine.txt"
    run
    [ "$status" -eq 1 ] || fail "a folder at the work file $file: exit $status, not 1"
    hasLine "$(lineOf "a.dxf" "失敗しました（フォルダがあります: $(winUpper)\\OUT\\~TESSIVA~\\$file）")" "" "the work file's folder"
    hasLine "$(counts 0 0 0 "$count")" "" "the work file's folder"
    [ "$(cat "out/~TESSIVA~/$file/mine.txt")" = $'mine\r' ] || fail "the user's file in the work folder's $file was touched"
done
echo "ok: a folder where a drawing or a work file goes fails that drawing, named, untouched"

# A work file the run cannot remove, holding another drawing: read-only,
# where the first pass makes nothing and ends with 0. Today's names and
# the earlier ones (DUMMY.DXF and ~TESSIVA~A.DXF beside the drawings) both
# hold it. No drawing is made of it: each fails, naming the file, and the
# file stays as it was.
for flags in "--report" "--skip-existing --check-exit-status"; do
    for kind in r13-gx3 r13-r12; do
        rm -rf project out OUT JOB.BAT JOB.LOG && mkdir -p project out/~TESSIVA~
        printf 'drawing a\r\n' > project/a.dxf && printf 'drawing b\r\n' > project/b.dxf
        read -r -a f <<< "$flags"
        batch --settings none.ini "${f[@]}" -k "$kind" -d out -a acad project/a.dxf project/b.dxf -o JOB.BAT
        if [ "$kind" = r13-gx3 ]; then
            names=(out/~TESSIVA~/DUMMY.DXF out/DUMMY.DXF)
            printf 'DUMMY.DXF\nnone\n' > acad/half.txt
        else
            names=(out/~TESSIVA~/DRAWING.DXF out/~TESSIVA~A.DXF out/~TESSIVA~B.DXF)
            printf '~TESSIVA~\nnone\n' > acad/half.txt
        fi
        for name in "${names[@]}"; do printf 'another drawing\r\n' > "$name" && chmod a-w "$name"; done
        run
        [ "$status" -eq 1 ] || fail "a read-only work file, $kind $flags: exit $status, not 1"
        for d in A B; do
            [ ! -e "out/$d.DXF" ] || fail "a read-only work file, $kind $flags: $d.DXF was made of it"
        done
        for name in "${names[@]}"; do
            [ "$(cat "$name")" = $'another drawing\r' ] || fail "a read-only work file, $kind $flags: $name changed"
        done
        iconv -f CP932 -t UTF-8 console.txt | grep -qF "$(printf '%s\\OUT\\~TESSIVA~\\' "$(winUpper)")" \
            || fail "a read-only work file, $kind $flags: the file was not named"
        chmod -R u+w out && rm acad/half.txt
    done
done
echo "ok: a work file the run cannot remove is never made a drawing; each drawing fails, naming it"

# No converter in the AutoCAD folder given, or no parameter file: said in
# the console and the report, status 2, no drawing touched and no folder made.
for missing in DXFIX.EXE DXFIX13.DXT; do
    rm -rf project out OUT JOB.BAT JOB.LOG acad2 && mkdir -p project acad2
    printf 'drawing\r\n' > project/a.dxf
    [ "$missing" = DXFIX.EXE ] || cp acad/DXFIX.EXE acad2/
    printf 'x\r\n' > acad2/DXFIX.DXT
    [ "$missing" = DXFIX13.DXT ] || printf 'x\r\n' > acad2/DXFIX13.DXT
    batch --settings none.ini --report --tree project -k r13-gx3 -d out -a acad2 project/a.dxf -o JOB.BAT
    before=$(everything)
    runFile JOB.BAT
    [ "$status" -eq 2 ] || fail "no $missing: exit $status, not 2"
    case $missing in DXFIX.EXE) words=変換プログラムがありません ;; *) words=パラメータファイルがありません ;; esac
    said="$words: $(winUpper)\\ACAD2\\$missing"
    hasLine "$said" "" "no $missing"
    [ "$(iconv -f CP932 -t UTF-8 console.txt | tr -d '\r')" = "$said" ] || fail "no $missing: the console says $(iconv -f CP932 -t UTF-8 console.txt)"
    [ "$(everything)" = "$(printf '%s\n' "$before" ./JOB.LOG ./console.txt | LC_ALL=C sort -u)" ] \
        || fail "no $missing: something was made or deleted"
done
rm -rf acad2
echo "ok: without the converter or a parameter file the run stops before the first drawing, status 2, naming it"

# A second run of the batch file while one goes on: refused, status 2, the
# report of the first untouched.
fresh --skip-existing
printf '%s\n' "${part/MODE/hang}" > acad/half.txt
run &
first=$!
waitUntil halfMade "$failing" || fail "the first run never reached the drawing it hangs in"
cp JOB.LOG first.log
before=$(everything)
runFile JOB.BAT
[ "$status" -eq 2 ] || fail "a second run at once: exit $status, not 2"
cmp -s JOB.LOG first.log || fail "a second run at once touched the report"
[ "$(everything)" = "$before" ] || fail "a second run at once made or deleted something"
iconv -f CP932 -t UTF-8 console.txt | grep -qF '別のところで実行中です' || fail "a second run at once: not said"
stopWine
wait "$first" || true
rm -f acad/half.txt first.log
echo "ok: a second run of the batch file while one goes on is refused, status 2, the report untouched"

# Folders at the names beside the batch file, each holding a user's file,
# standard input closed: nothing asks a question, nothing in them is
# touched, each is named, and the drawing that failed still reaches the
# console at the end.
fresh --skip-existing --check-exit-status
rm -rf JOB.LCK JOB.LOG JOB.TMP
for name in JOB.LCK JOB.LOG JOB.TMP; do mkdir "$name" && printf 'mine\r\n' > "$name/mine.txt"; done
printf '%s\n' "${part/MODE/exit}" > acad/half.txt
run
[ "$status" -eq 1 ] || fail "folders beside the batch file: exit $status, not 1"
for name in JOB.LCK JOB.LOG JOB.TMP; do
    [ "$(cat "$name/mine.txt")" = $'mine\r' ] || fail "folders beside the batch file: $name was touched"
done
console=$(iconv -f CP932 -t UTF-8 console.txt | tr -d '\r')
grep -qF 'フォルダがあるのでロックファイルを作れません: ' <<< "$console" && grep -qF 'JOB.LCK' <<< "$console" \
    || fail "folders beside the batch file: the lock's folder was not named: $console"
grep -qF "実行結果を記録できません: \"$(win)\\JOB.LOG\"" <<< "$console" \
    || fail "folders beside the batch file: the report's folder was not named: $console"
[ "$(sed -n '/^失敗したか要確認の図面:$/,$p' <<< "$console" | sed 1d)" \
    = "$(lineOf "$failing" "失敗しました（2回目の変換 R12→GX3: 終了ステータス 1）")" ] \
    || fail "folders beside the batch file: the console does not end with the failed drawing: $console"
rm -rf JOB.LCK JOB.LOG JOB.TMP acad/half.txt
echo "ok: folders at the lock's, the report's and the list's names: no question, each named, the list on the console"

# A caller's DATE or TIME, holding a command: the report's clock is the
# system's, and nothing runs.
fresh
for variable in DATE TIME; do
    rm -f INJECTED.TXT
    printf '@ECHO OFF\r\nSET "%s=X&ECHO injected>%s\\INJECTED.TXT"\r\nCALL JOB.BAT\r\n' "$variable" "$(win)" > CALLER.BAT
    runFile CALLER.BAT
    [ "$status" -eq 0 ] || fail "a caller's $variable: exit $status"
    [ ! -e INJECTED.TXT ] || fail "a caller's $variable ran a command"
    report | grep -q '^開始: [0-9]' || fail "a caller's $variable stood in for the clock: $(report | sed -n 2p)"
done
rm -f CALLER.BAT
echo "ok: a caller's DATE or TIME runs nothing and stands in for no clock"

# Two batch files into one destination at once, with a converter that takes
# its time: the second stops before it touches anything, status 2, and says
# why; every drawing the first reports as converted holds its own bytes.
rm -rf project out OUT JOBX.* JOBY.* && mkdir -p project/x project/y
for d in 1 2 3; do
    printf 'drawing x%d\r\n' "$d" > "project/x/x$d.dxf"
    printf 'drawing y%d\r\n' "$d" > "project/y/y$d.dxf"
done
batch --settings none.ini --report -k r13-gx3 -d out -a acad project/x/*.dxf -o JOBX.BAT
batch --settings none.ini --report -k r13-gx3 -d out -a acad project/y/*.dxf -o JOBY.BAT
mkdir out && echo 700 > acad/slow.txt && rm -f acad/calls.log
startFile JOBX.BAT consolex.txt
first=$started
# The second starts once the first has converted its first pass.
waitUntil test -s acad/calls.log || fail "the first batch file never started"
runFile JOBY.BAT
wait "$first" && statusX=0 || statusX=$?
rm acad/slow.txt
[ "$statusX" -eq 0 ] || fail "two batch files: the first ended with $statusX"
[ "$status" -eq 2 ] || fail "two batch files: the second ended with $status, not 2"
iconv -f CP932 -t UTF-8 console.txt | grep -qF '変換先フォルダでは別のバッチファイルが実行中です' \
    || fail "two batch files: the second did not say why: $(iconv -f CP932 -t UTF-8 console.txt)"
for d in 1 2 3; do
    [ "$(cat "$(out "x$d.dxf")")" = "drawing x$d"$'\r' ] || fail "two batch files: X$d.DXF does not hold its own bytes"
    [ -z "$(out "y$d.dxf")" ] || fail "two batch files: the second converted y$d"
done
iconv -f CP932 -t UTF-8 JOBY.LOG | grep -qF '図面を一つも変換していません。' || fail "two batch files: the second's report"
echo "ok: a second batch file into one destination stops before it touches anything; the first's drawings are its own"

# A console that reads the batch file in another code page (Wine under
# C.UTF-8, as under Windows' UTF-8 setting or an English Windows), with a
# name whose second byte is |: nothing runs, nothing is made, status 2.
for flags in --report --skip-existing; do
    rm -rf project out OUT JOB.BAT JOB.LOG acad/calls.log && mkdir -p 'project/ポ x'
    printf 'drawing\r\n' > 'project/ポ x/a.dxf'
    printf 'drawing\r\n' > 'project/b.dxf'
    find project -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project $flags \
        -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 -o JOB.BAT
    before=$(everything)
    LANG=C.UTF-8 LC_ALL=C.UTF-8 runFile JOB.BAT
    [ "$status" -eq 2 ] || fail "another code page, $flags: exit $status, not 2"
    grep -qF 'code page 932' console.txt || fail "another code page, $flags: not said"
    [ "$(everything)" = "$before" ] || fail "another code page, $flags: something was made or deleted"
    [ ! -e acad/calls.log ] || fail "another code page, $flags: the converter ran"
done
echo "ok: a console that does not read code page 932 runs nothing, status 2"

# A drawing of another version, found by the tool before it wrote: the
# converter takes it and ends with 0, and the report still gives it as to
# be looked at, with its version; the others as converted.
rm -rf project out OUT JOB.BAT JOB.LOG acad/calls.log acad/half.txt && mkdir project
dxf() { printf '  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n%s\r\n' "$1"; }
dxf AC1012 > project/a.dxf && dxf AC1014 > project/b.dxf && dxf AC1012 > project/c.dxf
for flags in --report "--report --check-exit-status" "--jobs 2"; do
    rm -rf out OUT JOB.BAT JOB.LOG && mkdir out
    # shellcheck disable=SC2086
    LANG=C.UTF-8 LC_ALL=C.UTF-8 checkedBatch --settings none.ini $flags -k r13-r12 -d out -a acad project/a.dxf project/b.dxf project/c.dxf \
        -o JOB.BAT 2>warned.txt
    grep -qF "warning: 'project/b.dxf' (source argument 2): a DXF of R14 (AC1014)" warned.txt \
        || fail "another version, $flags: no warning: $(cat warned.txt)"
    runFile JOB.BAT
    [ "$status" -eq 0 ] || fail "another version, $flags: exit $status"
    report | grep -qxF "2/3 要確認（変換元はR14（AC1014）の図面でした（R13を変換する設定です））: $(win)\PROJECT\B.DXF" \
        || report | grep -qxF "2/3 要確認（変換元はR14（AC1014）の図面でした（R13を変換する設定です））: $(win)\project\b.dxf" \
        || { report >&2; fail "another version, $flags: B.DXF is not to be looked at"; }
    report | grep -qxF "$(counts 2 1 0 0)" || { report >&2; fail "another version, $flags: the counts"; }
    [ -n "$(out b.dxf)" ] || fail "another version, $flags: the drawing was not converted"
done
rm -f warned.txt
echo "ok: a drawing of another version is converted and reported as to be looked at, with its version"
