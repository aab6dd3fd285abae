#!/usr/bin/env bash
# What a checked batch file's own lines cost under Wine's cmd.exe, per
# drawing, against what starting the converter costs:
#   bench/batchcost.sh [path/to/tessiva-batch] [N]      (./dev bench wine)
# Each checked form (--skip-existing, --report, with and without
# --check-exit-status) is written for 1, N and 4N drawings, R13 -> GX3 and
# R13 -> R12, its converter lines replaced by a line that makes the output
# (TYPE NUL >OUT: every drawing converts) or makes nothing (every drawing
# fails), and run with standard input closed; with --skip-existing, once
# more over a destination where every drawing is already there.
#   own:       the form's time less that of its converter lines' stand-ins
#              alone (the same TYPE NUL lines, nothing else), per drawing:
#              (t(4N) - t(1)) / (4N - 1)
#   start:     the same for the plain form run with a converter that does
#              nothing: one converter start a drawing
#   share:     own / start (goal: at most 5%)
#   growth:    own at 4N over own at N (goal: at most 1.2, flat)
# Last, the floor under every checked form: what one lookup of a file name
# costs Wine's cmd.exe (IF EXIST), where the file is there and where it is
# not, in a folder of 1 and of 4N files, against the same start.
# Every time is the least of RUNS runs (default 5): what the machine's other
# work adds to a run is never less than nothing. The converter's start is
# measured before and after each kind, in the same run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tessiva-batch}")
n=${2:-100}
runs=${RUNS:-5}
. "$here/wineprelude.sh"
# On C:, in upper case, as the batch file names every path: Wine looks a
# name up without reading its folder only where it is written as it is on
# disk, as Windows does on any disk.
work=$WINEPREFIX/drive_c/BENCH
mkdir -p "$work"
cd "$work"
mkdir -p ACAD
printf 'int main(void) { return 0; }\n' > noop.c
x86_64-w64-mingw32-gcc -O2 -o ACAD/DXFIX.EXE noop.c
printf 'x\r\n' > ACAD/DXFIX13.DXT
printf 'x\r\n' > ACAD/DXFIX.DXT
: > none.ini
converter='C:\BENCH\ACAD\DXFIX.EXE'

# The sources of a job of $1 drawings: names alone, as the converter lines
# are replaced and nothing reads them.
sources() { for i in $(seq 1 "$1"); do printf 'C:\\BENCH\\PROJECT\\PLAN%d.DXF\n' "$i"; done; }
# Batch file $1.BAT for $2 drawings, kind $kind, in the form of flags $3...
make() {
    local name=$1 count=$2
    shift 2
    sources "$count" | "$tool" --settings none.ini -k "$kind" -d 'C:\BENCH\OUT' -a 'C:\BENCH\ACAD' -l - --list-encoding utf-8 \
        -o "$name.BAT" "$@"
}
# The converter lines of batch file $1 made to make their output ($2
# "converts", "there") or nothing ($2 "fails"); into $3 those of them a run
# runs, alone: every one where each drawing converts, each drawing's first
# where it fails there, none where every drawing is already there.
replaceConverter() {
    CONVERTER=$converter MODE=$2 perl -i -pe '
        BEGIN { $c = $ENV{CONVERTER}; $m = $ENV{MODE}; }
        if (index($_, $c) == 0 || index($_, "\"$c\"") == 0) {
            s/ 2>&1\r$/\r/;
            my ($out) = /( "[^"]*"| [^ "]+)\r$/;
            $out =~ s/^ //;
            $_ = $m eq "fails" ? "TYPE NUL >NUL\r\n" : "TYPE NUL >$out\r\n";
        }' "$1"
    {
        printf '@ECHO OFF\r\n'
        # Each made anew, as the converter makes its output.
        case $2 in
        converts) grep -a '^TYPE NUL >' "$1" | awk '{ printf "TYPE NUL >C:\\BENCH\\OUT\\~TESSIVA~\\S%d.DXF\r\n", NR }' ;;
        fails) for _ in $(seq 1 "$4"); do printf 'TYPE NUL >NUL\r\n'; done ;;
        esac
    } > "$3"
}
# Microseconds of a run of batch file $1, standard input closed.
timed() {
    local start end
    start=$(date +%s%N)
    "$wine" cmd /c "C:\\BENCH\\$1" </dev/null >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
least() { LC_ALL=C sort -n | head -1; }
# The least microseconds of batch file $1 of $2 drawings, its destination
# prepared for outcome $3 ("there": every drawing already there).
measure() {
    local times=()
    for _ in $(seq 1 "$runs"); do
        rm -rf OUT && mkdir -p OUT/~TESSIVA~
        if [ "$3" = there ]; then
            for i in $(seq 1 "$2"); do printf 'x\r\n' > "OUT/PLAN$i.DXF"; done
        fi
        rm -f ./*.LOG
        times+=("$(timed "$1")")
    done
    printf '%s\n' "${times[@]}" | least
}
# Per-drawing microseconds from the times of 1, N and 4N drawings.
perDrawing() { echo $((($3 - $1) / (4 * n - 1))); }

sizes=(1 "$n" $((4 * n)))
# The converter's start: the plain form, one converter that does nothing a drawing.
start() {
    local t=()
    for size in "${sizes[@]}"; do t+=("$(measure "BASE$size.BAT" "$size" converts)"); done
    perDrawing "${t[@]}"
}
# Batch file $1.BAT of $2 lines of command $3, with @I@ standing for the
# line's number.
repeated() {
    { printf '@ECHO OFF\r\n'; for i in $(seq 1 "$2"); do printf '%s\r\n' "${3//@I@/$i}"; done; } > "$1.BAT"
}
# Microseconds one lookup costs: lines of $1 against as many REM lines.
lookup() {
    local t=() s=()
    for size in "${sizes[@]}"; do
        repeated "LOOK$size" "$size" "$1"
        repeated "REM$size" "$size" "REM x"
        t+=("$(measure "LOOK$size.BAT" 0 none)")
        s+=("$(measure "REM$size.BAT" 0 none)")
    done
    echo $(($(perDrawing "${t[@]}") - $(perDrawing "${s[@]}")))
}
IFS=';' read -r -a forms <<< "${FORMS:---skip-existing;--skip-existing --check-exit-status;--report;--report --check-exit-status;--report --skip-existing;--report --skip-existing --check-exit-status}"
printf '%-58s %9s %9s %7s %7s\n' "form, outcome" "own us" "start us" share growth
for kind in ${KINDS:-r13-gx3 r13-r12}; do
    for size in "${sizes[@]}"; do (kind=r13-r12 && make "BASE$size" "$size"); done
    before=$(start)
    rows=()
    for flags in "${forms[@]}"; do
        read -r -a f <<< "$flags"
        outcomes=(converts fails)
        [[ $flags == *--skip-existing* ]] && outcomes+=(there)
        for outcome in "${outcomes[@]}"; do
            t=() s=()
            for size in "${sizes[@]}"; do
                make "FORM$size" "$size" "${f[@]}"
                replaceConverter "FORM$size.BAT" "$outcome" "ONLY$size.BAT" "$size"
                t+=("$(measure "FORM$size.BAT" "$size" "$outcome")")
                s+=("$(measure "ONLY$size.BAT" "$size" "$outcome")")
            done
            own=$(($(perDrawing "${t[@]}") - $(perDrawing "${s[@]}")))
            small=$(((t[1] - t[0]) / (n - 1) - (s[1] - s[0]) / (n - 1)))
            rows+=("$kind $flags, $outcome|$own|$small")
        done
    done
    after=$(start)
    base=$(printf '%s\n%s\n' "$before" "$after" | awk '{ s += $1 } END { printf "%d", s / NR }')
    for row in "${rows[@]}"; do
        IFS='|' read -r name own small <<< "$row"
        awk -v name="$name" -v a="$own" -v b="$base" -v s="$small" 'BEGIN {
            printf "%-58s %9d %9d %6.1f%% %7.2f\n", name, a, b, 100 * a / b, (s > 0 ? a / s : 0) }'
    done
done
# The floor: one lookup, in C:\BENCH\FOLDER of 1 file and of 4N files.
lookups=()
for files in 1 $((4 * n)); do
    rm -rf FOLDER && mkdir FOLDER
    for i in $(seq 1 "$files"); do : > "FOLDER/F$i.DXF"; done
    lookups+=("IF EXIST, a file there, folder of $files|$(lookup 'IF EXIST C:\BENCH\FOLDER\F1.DXF REM x')")
    lookups+=("IF EXIST, no such file, folder of $files|$(lookup 'IF EXIST C:\BENCH\FOLDER\NO@I@.DXF REM x')")
done
rm -rf FOLDER
for row in "${lookups[@]}"; do
    IFS='|' read -r name own <<< "$row"
    awk -v name="$name" -v a="$own" -v b="$base" 'BEGIN { printf "%-58s %9d %9d %6.1f%%\n", name, a, b, 100 * a / b }'
done
