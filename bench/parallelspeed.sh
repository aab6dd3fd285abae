#!/usr/bin/env bash
# How much sooner a parallel run ends under Wine's cmd.exe:
#   bench/parallelspeed.sh [path/to/tessiva-batch] [drawings]   (./dev bench wine)
# A job of 32 drawings (the default) R13 -> GX3, converted by a stand-in
# that takes 400 ms a call, with --jobs 1 (and --report, the same checks),
# 2, 4 and 8, in turns, RUNS times (default 3); each figure is the least of
# its runs, and the ratio is set against --jobs 1 of the same turns.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tessiva-batch}")
count=${2:-32}
runs=${RUNS:-3}
. "$here/wineprelude.sh"
work=$WINEPREFIX/drive_c/BENCH
mkdir -p "$work/ACAD" "$work/PROJECT"
cd "$work"
x86_64-w64-mingw32-gcc -O2 -o ACAD/DXFIX.EXE "$here/../tests/wine/fakedxfix.c"
printf 'x\r\n' > ACAD/DXFIX13.DXT
printf 'x\r\n' > ACAD/DXFIX.DXT
echo 400 > ACAD/slow.txt
: > none.ini
for i in $(seq 1 "$count"); do printf 'drawing %d\r\n' "$i" > "PROJECT/PLAN$i.DXF"; done
for jobs in 1 2 4 8; do
    flags=(--jobs "$jobs")
    [ "$jobs" -gt 1 ] || flags+=(--report)
    for i in $(seq 1 "$count"); do printf 'C:\\BENCH\\PROJECT\\PLAN%d.DXF\n' "$i"; done \
        | "$tool" --settings none.ini -k r13-gx3 -d 'C:\BENCH\OUT' -a 'C:\BENCH\ACAD' -l - --list-encoding utf-8 -o "JOBS$jobs.BAT" "${flags[@]}"
done
timed() {
    local start end
    rm -rf OUT && mkdir OUT
    start=$(date +%s%N)
    "$wine" cmd /c "C:\\BENCH\\JOBS$1.BAT" </dev/null >/dev/null 2>&1 || true
    end=$(date +%s%N)
    [ "$(find OUT -name '*.DXF' | wc -l)" -eq "$count" ] || { echo "--jobs $1 did not convert every drawing" >&2; exit 1; }
    echo $(((end - start) / 1000000))
}
declare -A best=()
for _ in $(seq 1 "$runs"); do
    for jobs in 1 2 4 8; do
        t=$(timed "$jobs")
        if [ -z "${best[$jobs]:-}" ] || [ "$t" -lt "${best[$jobs]}" ]; then best[$jobs]=$t; fi
    done
done
printf '%-8s %10s %8s\n' jobs "wall ms" ratio
for jobs in 1 2 4 8; do
    awk -v j="$jobs" -v t="${best[$jobs]}" -v b="${best[1]}" 'BEGIN { printf "%-8s %10d %8.2f\n", j, t, t / b }'
done
