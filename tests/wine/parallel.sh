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
    rm -rf project out OUT acad/calls.log acad/half.txt acad/slow.txt
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
        -a acad -l - -o "$name" "$@"
}
# Every drawing of the project at its own name, holding its own bytes.
whole() {
    local f found
    while IFS= read -r f; do
        found=$(out "${f#project/}")
        [ -n "$found" ] && cmp -s "$found" "$f" || fail "$1: not converted whole: $f"
    done < <(find project -name '*.dxf')
}
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
report JOB.LOG | grep -qxF '変換しました: 40 件、要確認: 0 件、既にあるので飛ばしました: 0 件、失敗しました: 0 件' \
    || fail "40 drawings: the counts"
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
echo "ok: a crash in one worker fails that drawing; the others are whole and nothing else is left"

# Two batch files of --jobs 2 into one destination at once, with a
# converter that takes its time.
project x/x1.dxf x/x2.dxf x/x3.dxf x/x4.dxf y/y1.dxf y/y2.dxf y/y3.dxf y/y4.dxf
find project/x -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini -k r13-gx3 -d out -a acad -l - --jobs 2 -o JOBX.BAT
find project/y -name '*.dxf' | LC_ALL=C sort | batch --settings none.ini -k r13-gx3 -d out -a acad -l - --jobs 2 -o JOBY.BAT
mkdir out && echo 500 > acad/slow.txt
startFile JOBX.BAT consolex.txt
first=$started
waitUntil test -s acad/calls.log || fail "two batch files: the first never started"
runFile JOBY.BAT
wait "$first" && statusX=0 || statusX=$?
rm acad/slow.txt
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
rm acad/half.txt
runFile JOB.BAT
[ "$status" -eq 0 ] || fail "a killed run, again: exit $status: $(report console.txt)"
whole "a killed run, again"
nothingElse "a killed run, again"
report JOB.LOG | grep -q '既にあるので飛ばしました' || fail "a killed run, again: nothing was there already"
echo "ok: a killed parallel run, run again with --skip-existing, converts the rest"
