#!/usr/bin/env bash
# What a batch file's own lines cost under Wine's cmd.exe, per drawing,
# against what starting the converter costs:
#   bench/batchcost.sh [path/to/tessiva-batch] [N]
# Each checked form is written for 1, N and 4N drawings (R13 -> GX3 and
# R13 -> R12), its converter lines replaced by a line that makes the
# output (TYPE NUL >OUT: every drawing converts) or makes nothing (every
# drawing fails), and run with standard input closed; with
# --skip-existing, once more over a destination where every drawing is
# already there. The baseline is the plain form run with a converter that
# does nothing: one converter start a drawing. Each figure is the median of
# RUNS runs (default 3), form and baseline taken in turns.
#   per drawing:  (t(4N) - t(1)) / (4N - 1), against the baseline's
#   growth:       the per-drawing cost at 4N over that at N (flat: <= 1.2)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:-$here/../build/tessiva-batch}")
n=${2:-100}
runs=${RUNS:-3}
work=$(mktemp -d)
export WINEPREFIX=${TESSIVA_BENCH_PREFIX:-$work/prefix} WINEDEBUG=-all
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
# One server for every run, so that no run pays for starting it.
wineserver -p >/dev/null 2>&1 || true
cd "$work"
mkdir -p acad
printf 'int main(void) { return 0; }\n' > noop.c
x86_64-w64-mingw32-gcc -O2 -o acad/DXFIX.EXE noop.c
printf 'x\r\n' > acad/DXFIX13.DXT
printf 'x\r\n' > acad/DXFIX.DXT
: > none.ini

# The sources of a job of $1 drawings: names alone, as the batch file's
# converter lines are replaced and nothing reads them.
sources() { for i in $(seq 1 "$1"); do printf 'project/plan %d.dxf\n' "$i"; done; }
# The converter lines of batch file $1 made to make their output ($2
# "converts") or nothing ($2 "fails").
replaceConverter() {
    local converter
    converter=$(printf '%s\\ACAD\\DXFIX.EXE' "$(printf 'Z:%s' "$work" | tr / '\\' | tr '[:lower:]' '[:upper:]')")
    CONVERTER=$converter MODE=$2 perl -i -pe '
        BEGIN { $c = $ENV{CONVERTER}; $m = $ENV{MODE}; }
        if (index($_, $c) == 0 || index($_, "\"$c\"") == 0) {
            s/ 2>&1\r$/\r/;
            my ($out) = /( "[^"]*"| [^ "]+)\r$/;
            $out =~ s/^ //;
            $_ = $m eq "converts" ? "TYPE NUL >$out\r\n" : "TYPE NUL >NUL\r\n";
        }' "$1"
}
# Seconds a run of batch file $1 takes, standard input closed.
timed() {
    local start end
    start=$(date +%s%N)
    "$wine" cmd /c "$1" </dev/null >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
median() { LC_ALL=C sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Batch file $1.BAT for $2 drawings, kind $kind, in the form of flags $3...
make() {
    local name=$1 count=$2
    shift 2
    sources "$count" | "$tool" --settings none.ini -k "$kind" -d out -a acad -l - -o "$name.BAT" "$@"
}
# Microseconds of a run of batch file $1.BAT of $2 drawings, its
# destination prepared for outcome $3 ("there": every drawing already there).
runOnce() {
    rm -rf out OUT && mkdir out
    if [ "$3" = there ]; then
        for i in $(seq 1 "$2"); do printf 'x\r\n' > "out/PLAN $i.DXF"; done
    fi
    rm -f "$1.LOG"
    timed "$1.BAT"
}

sizes=(1 "$n" $((4 * n)))
big=$((4 * n))
# The baseline: the plain form, one start of a converter that does nothing a drawing.
kind=r13-r12
for size in "${sizes[@]}"; do make "base$size" "$size"; done
declare -A b=()
baseline() {
    for size in "${sizes[@]}"; do
        local bs=()
        for _ in $(seq 1 "$runs"); do bs+=("$(runOnce "base$size" "$size" converts)"); done
        b[$size]=$(printf '%s\n' "${bs[@]}" | median)
    done
}
printf '%-58s %10s %10s %8s %8s %4s\n' "form, outcome" "us/drawing" "baseline" share growth ok
# KINDS and FORMS (forms split by ";") pick fewer.
IFS=';' read -r -a forms <<< "${FORMS:---skip-existing;--skip-existing --check-exit-status;--report;--report --check-exit-status;--report --skip-existing;--report --skip-existing --check-exit-status}"
for kind in ${KINDS:-r13-gx3 r13-r12}; do
    for flags in "${forms[@]}"; do
        read -r -a f <<< "$flags"
        outcomes=(converts fails)
        [[ $flags == *--skip-existing* ]] && outcomes+=(there)
        for outcome in "${outcomes[@]}"; do
            declare -A t=()
            for size in "${sizes[@]}"; do
                make "form$size" "$size" "${f[@]}"
                replaceConverter "form$size.BAT" "$([ "$outcome" = fails ] && echo fails || echo converts)"
            done
            # Form and baseline in turns, so that both see the same machine.
            baseline
            for size in "${sizes[@]}"; do
                ts=()
                for _ in $(seq 1 "$runs"); do ts+=("$(runOnce "form$size" "$size" "$outcome")"); done
                t[$size]=$(printf '%s\n' "${ts[@]}" | median)
            done
            per=$(((t[$big] - t[1]) / (big - 1)))
            base=$(((b[$big] - b[1]) / (big - 1)))
            small=$(((t[$n] - t[1]) / (n - 1)))
            read -r share growth ok < <(awk -v a="$per" -v b="$base" -v s="$small" 'BEGIN {
                share = 100 * a / b; growth = s > 0 ? a / s : 0
                printf "%.1f%% %.2f %s\n", share, growth, (share <= 5 && growth <= 1.2) ? "yes" : "no" }')
            printf '%-58s %10d %10d %8s %8s %4s\n' "$kind $flags, $outcome" "$per" "$base" "$share" "$growth" "$ok"
        done
    done
done
