#!/usr/bin/env bash
# Runs report-form batch files (--report) under Wine's cmd.exe, standard
# input closed, with the stand-in converter of run.sh:
#   tests/wine/report.sh [path/to/tessiva-batch | path/to/tessiva-batch.exe]
# - converters that succeed, fail with 1, crash, make no drawing and end
#   with 0, or are killed mid-drawing: the report's lines and counts and the
#   batch file's exit status say what happened, and the next run reports
#   the earlier drawings as already there and converts the failed one;
# - a drawing an earlier run left is kept when this run's conversion fails;
# - hostile names appear in the report byte for byte, and nothing else is
#   made or deleted;
# - a report that cannot be written: every drawing still converted.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../../build/tessiva-batch}")
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
# A Japanese Windows: cmd.exe reads the batch file in code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
trap 'wineserver -k >/dev/null 2>&1 || true; umount "$work/ro" 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
batch() { if [[ $tool == *.exe ]]; then "$wine" "$tool" "$@"; else "$tool" "$@"; fi; }
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/acad"
x86_64-w64-mingw32-gcc -O2 -o "$work/acad/DXFIX.EXE" "$here/fakedxfix.c"
cd "$work"
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
        -k r13-gx3 -d out -a acad -l - -o JOB.BAT "$@"
}
# Runs the batch file; its exit status in $status.
run() {
    status=0
    timeout 120 "$wine" cmd /c "$("$wine" winepath -w "$work/JOB.BAT" 2>/dev/null)" </dev/null >console.txt 2>&1 || status=$?
    [ "$status" -ne 124 ] || fail "the batch file did not end"
}
report() { iconv -f CP932 -t UTF-8 JOB.LOG | tr -d '\r'; }
out() { find . -ipath "./out/$1" 2>/dev/null | head -1; }
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
counts() { printf '変換しました: %d 件、既にあるので飛ばしました: %d 件、失敗しました: %d 件' "$@"; }
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
hasLine "$(counts "$count" 0 0)" "" "all converted"
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
hasLine "$(counts 0 "$count" 0)" "" "a second run"
hasLine "$(lineOf "a.dxf" 既にあるので飛ばしました)" "" "a second run"
echo "ok: a second run reports every drawing as already there"

# One drawing fails in each way; the next run converts it alone.
failing="2/1.dxf"
part='OUT\2\~TESSIVA~1.DXF'
for mode in exit crash none hang; do
    case $mode in
    exit) why='2回目の変換 R12→GX3: 終了ステータス 1'; flags=(--skip-existing --check-exit-status) ;;
    crash) why='2回目の変換 R12→GX3: 終了ステータス -1073741819'; flags=(--skip-existing) ;;
    none) why='2回目の変換 R12→GX3: 図面ができませんでした'; flags=(--skip-existing) ;;
    hang) flags=(--skip-existing) ;;
    esac
    fresh "${flags[@]}"
    printf '%s\n%s\n' "$part" "$mode" > acad/half.txt
    if [ "$mode" = hang ]; then
        run &
        for _ in $(seq 1 300); do
            [ -s "$(out '2/~tessiva~1.dxf')" ] && break
            sleep 0.1
        done
        wineserver -k >/dev/null 2>&1 || true
        # The next run starts its own Wine only once this one is gone, never on
        # a server that is still going down.
        wineserver -w >/dev/null 2>&1 || true
        wait
        report | grep -qF "$(lineOf "$failing" "")" && fail "killed: the drawing it hung in was reported"
    else
        run
        [ "$status" -eq 1 ] || fail "$mode: exit $status, not 1"
        hasLine "$(lineOf "$failing" "失敗しました（$why）")" "" "$mode"
        hasLine "$(counts $((count - 1)) 0 1)" "" "$mode"
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
        hasLine "$(counts 1 $((count - 1)) 0)" "" "$mode, the next run"
    fi
    echo "ok: a converter that ended with '$mode': reported, status 1; the next run converts it alone"
done

# Without --skip-existing, a drawing the earlier run left stays when this
# run's conversion of it fails.
fresh
mkdir -p out && printf 'the earlier drawing\r\n' > out/A.DXF
printf 'OUT\\~TESSIVA~A.DXF\nnone\n' > acad/half.txt
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
    status=0
    timeout 120 "$wine" cmd /c "$("$wine" winepath -w "$work/ro/JOB.BAT" 2>/dev/null)" </dev/null >console.txt 2>&1 \
        || status=$?
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
