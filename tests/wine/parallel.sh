#!/usr/bin/env bash
# Runs batch files made with --jobs under Wine's cmd.exe, standard input
# closed, with the stand-in converter of run.sh:
#   tests/wine/parallel.sh [path/to/tessiva-batch | path/to/tessiva-batch.exe]
# - 40 drawings with 4 workers: each drawing claimed and converted once,
#   one report in drawing order, status 0;
# - a crash in one worker: that drawing failed, the others whole, nothing
#   left in the destination but the drawings;
# - two batch files of --jobs 2 into one destination at once: the second
#   stops before it touches anything, and each drawing keeps its own bytes;
# - hostile names in parallel, in the report byte for byte;
# - the whole run killed, then run again with --skip-existing: the rest
#   converted, nothing half-made at a drawing's name.
# - a work folder that anyone could have filled: planted CMD.BAT, PING.BAT,
#   PING.CMD and read-only COUNTS.BAT, folders at every name a run once
#   deleted, a user's files under them, a caller's PATH with a PING.BAT:
#   nothing of them runs, counts, is deleted or waits;
# - a tree with a folder of the work folder's name: refused at the save;
# - a worker started by hand mid-run, from the batch file's folder and from
#   the run's: it ends with 2 and touches nothing;
# - a full small destination: one line a drawing, counts and list agree;
# - the batch file in folders named x&y, c^d, (g) and h;i,j=k: the workers
#   start; in 100% and p%PATH%q the tool refuses it (exit 9);
# - a worker whose folder keeps a file it cannot remove stops claiming; a
#   worker killed before it recorded a drawing at its name: to look at;
# - a converter stopped by Ctrl+C: every worker stops, the rest reported.
# After each run the report is checked as a whole (checkReport).
# What Wine cannot show, a Ctrl+C in the console, is said in
# docs/batch-file.md.
set -euo pipefail
. "$(dirname "$0")/prelude.sh"
: > none.ini
# The parameter files a reporting run looks for before it starts.
printf 'parameters\r\n' > acad/DXFIX13.DXT
printf 'parameters\r\n' > acad/DXFIX.DXT

report() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }
# The project's drawings: the names of $@, each holding its own name.
project() {
    rm -rf project out OUT acad/calls.log acad/half.txt acad/slow.txt acad/hold.txt
    for f in "$@"; do
        mkdir -p "project/$(dirname "$f")"
        printf 'drawing %s, with some lines to cut in half\r\n' "$f" > "project/$f"
    done
}
# A batch file $1 of the project's drawings, in the form of flags $2...
make() {
    local name=$1
    shift
    find project -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini --tree project -k r13-gx3 -d out \
        -a acad -l - --list-encoding utf-8 -o "$name" "$@"
}
# Every drawing of the project at its own name, holding its own bytes.
whole() {
    local f found
    while IFS= read -r f; do
        found=$(out "${f#project/}")
        [ -n "$found" ] && cmp -s "$found" "$f" || fail "$1: not converted whole: $f"
    done < <(find project -name '*.dxf')
}
# The report of a run of $1 drawings that ended with $2, as a whole: one
# line a drawing, in order; the counts those of the lines; the list the
# failed and to-look-at lines; status 1 exactly where a drawing failed.
checkReport() {
    local n=$1 code=$2 log lines
    log=$(report JOB.LOG)
    lines=$(grep -E "^[0-9]+/$n " <<< "$log" | sed -n "1,${n}p" || true)
    [ "$(cut -d/ -f1 <<< "$lines" | tr '\n' ' ')" = "$(seq 1 "$n" | tr '\n' ' ')" ] \
        || fail "report: not one line a drawing in order: $log"
    kind() { grep -cE "^[0-9]+/$n $1" <<< "$lines" || true; }
    local c l t f
    c=$(kind 変換しました) l=$(kind 要確認) t=$(kind 既にあるので飛ばしました) f=$(kind 失敗しました)
    [ $((c + l + t + f)) -eq "$n" ] || fail "report: lines of no outcome: $lines"
    grep -qxF "変換しました: $c 件、要確認: $l 件、既にあるので飛ばしました: $t 件、失敗しました: $f 件" <<< "$log" \
        || fail "report: counts not those of the lines ($c $l $t $f): $log"
    local listed
    listed=$(sed -n '/^失敗したか要確認の図面:$/,/^終了: /p' <<< "$log" | sed '1d;$d')
    [ "$listed" = "$(grep -E "^[0-9]+/$n (要確認|失敗しました)" <<< "$lines")" ] || fail "report: the list: $log"
    [ "$code" -eq $((f > 0 ? 1 : 0)) ] || fail "report: status $code with $f failed"
}
# The run's console, in words.
console() { report console.txt; }

# Nothing in the destination but drawings and their folders: no work folder.
nothingElse() {
    [ -z "$(find . -ipath './out/*' ! -iname '*.dxf' -type f | head -1)" ] || fail "$1: $(find out OUT -type f ! -iname '*.dxf' 2>/dev/null)"
    [ -z "$(out '~tessiva~')" ] || fail "$1: the work folder was left"
}

# 40 drawings, 4 workers: each claimed and converted once, in one report
# in drawing order.
names=()
for i in $(seq -w 1 40); do names+=("d$((10#$i % 3))/plan$i.dxf"); done
project "${names[@]}"
make JOB.BAT --jobs 4
runFile JOB.BAT
[ "$status" -eq 0 ] || fail "40 drawings: exit $status: $(report console.txt)"
whole "40 drawings"
nothingElse "40 drawings"
# Two passes a drawing, and each source read once.
[ "$(wc -l < acad/calls.log)" -eq 80 ] || fail "40 drawings: $(wc -l < acad/calls.log) converter calls, not 80"
[ "$(grep -ic 'PROJECT' acad/calls.log)" -eq 40 ] || fail "40 drawings: $(grep -ic PROJECT acad/calls.log) first passes, not 40: $(head -3 acad/calls.log)"
[ "$(grep -ic 'PROJECT' acad/calls.log)" -eq "$(grep -i 'PROJECT' acad/calls.log | cut -d' ' -f1 | sort -u | wc -l)" ] \
    || fail "40 drawings: a source was converted twice"
expected=$(find project -name '*.dxf' | LC_ALL=C sort | W="Z:$(pwd | tr / '\\')" \
    awk '{ gsub("/", "\\"); printf "%d/40 変換しました: %s\\%s\n", NR, ENVIRON["W"], $0 }')
[ "$(report JOB.LOG | grep '/40 ')" = "$expected" ] || fail "40 drawings: the report's lines: $(report JOB.LOG)"
checkReport 40 "$status"
report console.txt | grep -qxF '40/40 済み' || fail "40 drawings: the console did not say all were done"
echo "ok: 40 drawings with 4 workers: each claimed and converted once, one report in order, status 0"

# A crash in one worker: that drawing failed, the others whole.
project a.dxf b.dxf c.dxf d.dxf e.dxf f.dxf
make JOB.BAT --jobs 3
printf 'drawing c.dxf,\ncrash\nDRAWING.DXF\n' > acad/half.txt
runFile JOB.BAT
[ "$status" -eq 1 ] || fail "a crash: exit $status, not 1"
[ -z "$(out c.dxf)" ] || fail "a crash: the crashed drawing has its own name"
rm project/c.dxf
whole "a crash"
nothingElse "a crash"
report JOB.LOG | grep -qF '3/6 失敗しました（2回目の変換 R12→GX3: アクセス違反で異常終了しました' || fail "a crash: $(report JOB.LOG)"
report JOB.LOG | grep -qxF '変換しました: 5 件、要確認: 0 件、既にあるので飛ばしました: 0 件、失敗しました: 1 件' \
    || fail "a crash: the counts"
checkReport 6 "$status"
echo "ok: a crash in one worker fails that drawing; the others are whole and nothing else is left"

# Two batch files of --jobs 2 into one destination at once, with a
# converter that takes its time.
project x/x1.dxf x/x2.dxf x/x3.dxf x/x4.dxf y/y1.dxf y/y2.dxf y/y3.dxf y/y4.dxf
find project/x -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 --jobs 2 -o JOBX.BAT
find project/y -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini -k r13-gx3 -d out -a acad -l - --list-encoding utf-8 --jobs 2 -o JOBY.BAT
# The first holds on in its converters until the second has ended.
runFolderMade() { find . -ipath './out/~tessiva~/*/worker.bat' | grep -q .; }
mkdir out && : > acad/hold.txt
startFile JOBX.BAT consolex.txt
first=$started
waitUntil runFolderMade || fail "two batch files: the first never started"
runFile JOBY.BAT
rm acad/hold.txt
wait "$first" && statusX=0 || statusX=$?
[ "$statusX" -eq 0 ] || fail "two batch files: the first ended with $statusX"
[ "$status" -eq 2 ] || fail "two batch files: the second ended with $status, not 2"
for d in 1 2 3 4; do
    cmp -s "$(out "x$d.dxf")" "project/x/x$d.dxf" || fail "two batch files: X$d.DXF does not hold its own bytes"
    [ -z "$(out "y$d.dxf")" ] || fail "two batch files: the second converted y$d"
done
echo "ok: two batch files of --jobs 2 into one destination: the second stops untouched; each drawing its own bytes"

# Hostile names in parallel.
hostile=("R&D (1)/plan.dxf" "100%/a^b.dxf" "x,y;z=w!/ON.dxf" " lead/OFF.dxf" "2/1.dxf" "表ソ/ポタ.dxf" "a.dxf")
project "${hostile[@]}"
make JOB.BAT --jobs 3 --skip-existing
runFile JOB.BAT
[ "$status" -eq 0 ] || fail "hostile names: exit $status"
whole "hostile names"
nothingElse "hostile names"
n=0
while IFS= read -r f; do
    n=$((n + 1))
    line=$(printf '%d/7 変換しました: Z:%s\\%s' "$n" "$(pwd | tr / '\\')" "$(printf '%s' "$f" | tr / '\\')")
    report JOB.LOG | grep -qxF -- "$line" || fail "hostile names: no line '$line'"
done < <(find project -name '*.dxf' | LC_ALL=C sort)
echo "ok: hostile names in parallel, in the report byte for byte"

# The whole run killed while a worker hangs in a drawing, then run again
# with --skip-existing: the rest converted, nothing half-made at a name.
project "${names[@]:0:12}"
make JOB.BAT --jobs 4 --skip-existing
printf 'drawing d1/plan07.dxf,\nhang\nDRAWING.DXF\n' > acad/half.txt
runFile JOB.BAT &
halfMade() { find . -ipath './out/~tessiva~/*/drawing.dxf' -exec grep -qa 'drawing d1/plan07.dxf' {} \; -print | grep -q .; }
waitUntil halfMade || fail "a killed run: the worker never reached the drawing it hangs in"
stopWine
wait || true
[ -z "$(out d1/plan07.dxf)" ] || fail "a killed run: the drawing it hung in has its own name"
# What the killed run reported is true as far as it went: its first lines,
# in order, each drawing it says it converted whole at its name.
killedLines=$(report JOB.LOG | grep -E '^[0-9]+/12 ' || true)
[ "$(grep -o '^[0-9]*' <<< "$killedLines" | tr '\n' ' ')" = "$(seq 1 "$(grep -c . <<< "$killedLines")" | tr '\n' ' ')" ] \
    || fail "a killed run: its report is not its first drawings in order: $killedLines"
while IFS= read -r line; do
    name=$(sed -n 's/^.*変換しました: .*\\project\\//p' <<< "$line" | tr '\\' /)
    [ -z "$name" ] || cmp -s "$(out "$name")" "project/$name" || fail "a killed run reported $name converted: $line"
done <<< "$killedLines"
rm acad/half.txt
# The destination as the run named it (Wine makes OUT for out).
outDir() { find . -maxdepth 1 -iname out | head -1; }
# The lock is the run's to take; the rest is the killed run's.
leftovers() { (cd "$(outDir)" && find . -ipath './~tessiva~*' ! -name RUN.LCK | LC_ALL=C sort); }
left=$(leftovers)
runFile JOB.BAT
[ "$status" -eq 0 ] || fail "a killed run, again: exit $status: $(report console.txt)"
whole "a killed run, again"
checkReport 12 "$status"
report JOB.LOG | grep -q '既にあるので飛ばしました' || fail "a killed run, again: nothing was there already"
# What the killed run left is its own, but nothing shows it: named, never
# read, removed or added to.
leftWords='前の実行が残したものが作業フォルダにあります。読まず、消さずに残します: '
report JOB.LOG | grep -qF "$leftWords" || fail "a killed run, again: the leftovers are not named in the report"
console | grep -qF "$leftWords" || fail "a killed run, again: the leftovers are not named on the console"
[ "$(leftovers)" = "$left" ] || fail "a killed run, again: the leftovers changed"
echo "ok: a killed parallel run, run again with --skip-existing, converts the rest and names what the first left"

# A work folder that anyone who can write to the destination could have
# filled before the run: programs under the names the run once ran, counts
# that would forge the report, folders at every name a run once deleted,
# with a user's files in them, a read-only drawing in a worker's folder,
# and a caller whose PATH starts with a folder of its own programs.
project a.dxf b.dxf c.dxf d.dxf e.dxf f.dxf
make JOB.BAT --jobs 2 --check-exit-status
printf 'drawing c.dxf,\nexit\n' > acad/half.txt
mkdir -p out/~TESSIVA~/1 out/~TESSIVA~/2 evil
ranFile=$("$wine" winepath -w "$(pwd)/ran.txt" 2>/dev/null)
for f in out/~TESSIVA~/{CMD.BAT,PING.BAT,PING.CMD,1/CMD.BAT,2/PING.BAT} evil/{PING.BAT,CMD.BAT,PING.CMD}; do
    printf '@ECHO %s ran>>"%s"\r\n' "$f" "$ranFile" > "$f"
done
for k in 1 2; do
    printf 'SET /A TESSIVA_CONVERTED+=3\r\n' > "out/~TESSIVA~/$k/COUNTS.BAT"
    printf 'mine\r\n' > "out/~TESSIVA~/$k/DRAWING.DXF"
done
for d in WAIT.BAT STOP C R F 1/WORKER.LCK 2/DUMMY.DXF; do
    mkdir -p "out/~TESSIVA~/$d" && printf 'mine\r\n' > "out/~TESSIVA~/$d/PLAN.DXF"
done
chmod 444 out/~TESSIVA~/1/COUNTS.BAT out/~TESSIVA~/2/COUNTS.BAT out/~TESSIVA~/1/DRAWING.DXF
planted() { (cd out && find '~TESSIVA~' | LC_ALL=C sort && find '~TESSIVA~' -type f -exec md5sum {} + | LC_ALL=C sort); }
planted=$(planted)
evilPath=$("$wine" winepath -w "$(pwd)/evil" 2>/dev/null)
printf '@SET "PATH=%s;%%PATH%%"\r\n@CALL JOB.BAT\r\n' "$evilPath" > CALLER.BAT
runFile CALLER.BAT
[ "$status" -eq 1 ] || fail "a filled work folder: exit $status, not 1: $(console)"
[ ! -e ran.txt ] || fail "a filled work folder: a planted program ran: $(cat ran.txt)"
checkReport 6 "$status"
report JOB.LOG | grep -qxF '変換しました: 5 件、要確認: 0 件、既にあるので飛ばしました: 0 件、失敗しました: 1 件' \
    || fail "a filled work folder: the counts: $(report JOB.LOG)"
[ "$(planted)" = "$planted" ] || fail "a filled work folder: what was planted changed, or the run left its own"
console | grep -q '(Yes|No)\|よろしいですか' && fail "a filled work folder: a command asked"
rm -f acad/half.txt
chmod -R u+w out && rm -rf out
echo "ok: a filled work folder and a caller's PATH: nothing planted runs, counts, is deleted or waits"

# A tree whose drawings would go into a folder of the work folder's name
# is refused before the save: its runs would meet others at another lock.
project "~TESSIVA~/plan.dxf" "other/plan.dxf"
status=0
make JOB.BAT --jobs 2 2>/dev/null || status=$?
[ "$status" -eq 8 ] || fail "a tree with a ~TESSIVA~ folder: exit $status, not 8"
echo "ok: a tree with a folder of the work folder's name is refused"

# A worker started by hand while a run goes on, from the batch file's
# folder and from the run's own: each ends with 2, touching nothing.
project a.dxf b.dxf c.dxf d.dxf e.dxf f.dxf g.dxf h.dxf
make JOB.BAT --jobs 2
# The run holds on in its converters until the workers by hand have ended.
: > acad/hold.txt
startFile JOB.BAT console.txt
main=$started
runFolder() { find . -mindepth 3 -maxdepth 3 -ipath './out/~tessiva~/*' -type d | head -1; }
workersIn() { find . -mindepth 4 -maxdepth 4 -ipath './out/~tessiva~/*/[12]' -type d | grep -c . | grep -qx 2; }
waitUntil workersIn || fail "a worker by hand: the run's workers never started"
runCmd JOB.BAT byhand.txt TESSIVA_WORKER 1 && hand=0 || hand=$?
[ "$hand" -eq 2 ] || fail "a worker by hand from the batch file's folder: exit $hand, not 2"
copyStatus=0
(cd "$(runFolder)" && timeout 60 "$wine" cmd /c WORKER.BAT TESSIVA_WORKER 1 </dev/null >/dev/null 2>&1) || copyStatus=$?
[ "$copyStatus" -eq 2 ] || fail "a worker by hand in the run's folder: exit $copyStatus, not 2"
rm acad/hold.txt
wait "$main" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "a worker by hand: the run ended with $status: $(console)"
whole "a worker by hand"
nothingElse "a worker by hand"
checkReport 8 "$status"
[ "$(wc -l < acad/calls.log)" -eq 16 ] || fail "a worker by hand: $(wc -l < acad/calls.log) converter calls, not 16"
echo "ok: a worker started by hand, in either folder, ends with 2 and touches nothing"

# A full small destination: every drawing still has its line, and the
# counts, the list and the status agree with the lines.
project a.dxf b.dxf c.dxf d.dxf e.dxf f.dxf
for f in project/*.dxf; do head -c 12000 /dev/urandom | base64 >> "$f"; done
make JOB.BAT --jobs 3 -k r13-r12 --check-exit-status
mkdir out
if mount -t tmpfs -o size=64k tmpfs out 2>/dev/null; then
    head -c 20000 /dev/zero > out/FILLER.BIN
    runFile JOB.BAT
    checkReport 6 "$status"
    report JOB.LOG | grep -q '^[0-9]/6 失敗しました（記録を書けませんでした）' \
        || fail "a full destination: no record was lost, nothing shows the fallback: $(report JOB.LOG)"
    # A drawing reported converted is at its name, whole.
    for f in project/*.dxf; do
        if report JOB.LOG | grep -qiF "変換しました: Z:$(pwd | tr / '\\')\\project\\$(basename "$f")"; then
            found=$(out "$(basename "$f")")
            [ -n "$found" ] && cmp -s "$found" "$f" || fail "a full destination: $f reported converted, not whole"
        fi
    done
    umount out
    echo "ok: a full destination: one line a drawing, counts, list and status agree"
else
    echo "skipped: a full destination (no tmpfs can be mounted here)"
fi
rm -rf out

# The batch file in folders whose names cmd.exe reads as operators: the
# workers start. Names Wine's cmd.exe expands again are refused.
project a.dxf b.dxf c.dxf
for folder in 'x&y' 'c^d' '(g)' 'h;i,j=k'; do
    rm -rf out "$folder" && mkdir "$folder"
    make "$folder/JOB.BAT" --jobs 2
    status=0
    (cd "$folder" && timeout 120 "$wine" cmd /c JOB.BAT </dev/null >../console.txt 2>&1) || status=$?
    [ "$status" -eq 0 ] || fail "a batch file in $folder: exit $status: $(console)"
    whole "a batch file in $folder"
    nothingElse "a batch file in $folder"
    cp "$folder/JOB.LOG" JOB.LOG && checkReport 3 "$status"
done
for folder in '100%' 'p%PATH%q'; do
    rm -rf "$folder" && mkdir "$folder"
    status=0
    make "$folder/JOB.BAT" --jobs 2 2>/dev/null || status=$?
    [ "$status" -eq 9 ] || fail "a batch file in $folder: exit $status, not 9"
    [ ! -e "$folder/JOB.BAT" ] || fail "a batch file in $folder: refused, yet written"
done
echo "ok: the batch file in folders named x&y, c^d, (g), h;i,j=k starts its workers; 100% and p%PATH%q are refused"

# A worker whose folder keeps a drawing it cannot remove (read-only) stops
# claiming: its drawings go to the others.
project a.dxf b.dxf c.dxf d.dxf e.dxf f.dxf g.dxf h.dxf
make JOB.BAT --jobs 2 --check-exit-status -k r13-r12
printf 'drawing b.dxf,\nstuck\n' > acad/half.txt
runFile JOB.BAT
rm acad/half.txt
[ "$status" -eq 1 ] || fail "a worker whose folder is stuck: exit $status, not 1"
checkReport 8 "$status"
report JOB.LOG | grep -qxF '変換しました: 7 件、要確認: 0 件、既にあるので飛ばしました: 0 件、失敗しました: 1 件' \
    || fail "a worker whose folder is stuck: $(report JOB.LOG)"
chmod -R u+w "$(outDir)" && rm -rf "$(outDir)"
echo "ok: a worker whose folder keeps a file it cannot remove stops claiming; the others convert the rest"

# A worker killed after it made a drawing, before it said so: the drawing
# at its name is to be looked at, never reported as not converted.
project a.dxf b.dxf c.dxf d.dxf
make JOB.BAT --jobs 2 -k r13-r12
mkdir out && printf 'an earlier run\r\n' > out/B.DXF && printf 'an earlier run\r\n' > out/C.DXF
printf 'drawing b.dxf,\norphan\n' > acad/half.txt
runFile JOB.BAT
rm acad/half.txt
checkReport 4 "$status"
report JOB.LOG | grep -qF '2/4 要確認（記録がありません。図面はあります）' || fail "a killed worker: $(report JOB.LOG)"
report JOB.LOG | grep -qF '3/4 変換しました' || fail "a killed worker: the others: $(report JOB.LOG)"
rm -rf out
echo "ok: a worker killed before it recorded a drawing at its name: reported to be looked at"

# A converter stopped by Ctrl+C: every worker stops before its next
# drawing, and the drawings no worker took are reported as not converted.
names=()
for i in $(seq -w 1 12); do names+=("s$i.dxf"); done
project "${names[@]}"
make JOB.BAT --jobs 2 -k r13-r12
echo 300 > acad/slow.txt
printf 'drawing s02.dxf,\nctrl-c\n' > acad/half.txt
runFile JOB.BAT
rm acad/half.txt acad/slow.txt
[ "$status" -eq 1 ] || fail "a Ctrl+C: exit $status, not 1"
checkReport 12 "$status"
report JOB.LOG | grep -qF '失敗しました（実行が止められて変換していません）' || fail "a Ctrl+C: no worker stopped: $(report JOB.LOG)"
[ "$(wc -l < acad/calls.log)" -lt 11 ] || fail "a Ctrl+C: the workers went on ($(wc -l < acad/calls.log) calls)"
nothingElse "a Ctrl+C"
echo "ok: a converter stopped by Ctrl+C stops every worker; the rest are reported as not converted"
