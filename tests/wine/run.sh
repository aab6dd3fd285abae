#!/usr/bin/env bash
# Runs a batch file made with --tree and --skip-existing under Wine's
# cmd.exe, with a stand-in for DXFIX.EXE that copies each drawing:
#   tests/wine/run.sh [path/to/tessiva-batch]
# Needs Debian's wine64 and gcc-mingw-w64-x86-64-win32; not part of
# ./dev test, as Wine is heavy to install.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=${1:-$here/../../build/tessiva-batch}
tool=$(realpath "$tool")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
"$wine" wineboot -i >/dev/null 2>&1 || true

mkdir -p "$work/acad"
x86_64-w64-mingw32-gcc -O2 -o "$work/acad/DXFIX.EXE" "$here/fakedxfix.c"

# A tree whose folder names hold a blank, &, % and (x86).
cd "$work"
for d in "project" "project/floor 1" "project/R&D" "project/100%" "project/Program Files (x86)/sub"; do
    mkdir -p "$d"
done
for f in "project/a.dxf" "project/floor 1/plan.dxf" "project/R&D/plan.dxf" "project/100%/plan.dxf" \
         "project/Program Files (x86)/sub/plan.dxf"; do
    printf 'drawing %s\r\n' "$f" > "$f"
done
mkdir out
find project -name '*.dxf' | sort | "$tool" --settings /dev/null --tree project --skip-existing \
    -k r13-gx3 -d out -a acad -l - -o JOB.BAT

fail() { echo "FAIL: $*" >&2; exit 1; }
run() { "$wine" cmd /c "$("$wine" winepath -w "$work/JOB.BAT" 2>/dev/null)" >/dev/null 2>&1 || true; }

run
for f in a.dxf "floor 1/plan.dxf" "R&D/plan.dxf" "100%/plan.dxf" "Program Files (x86)/sub/plan.dxf"; do
    target="out/${f%.dxf}.DXF"
    # Windows names ignore case; the file system here does not.
    found=$(find out -ipath "out/${f%.dxf}.dxf" | head -1)
    [ -n "$found" ] || fail "not converted: $target"
    cmp -s "$found" "project/$f" || fail "wrong contents: $found"
done
calls=$(wc -l < acad/calls.log)
[ "$calls" -eq 10 ] || fail "expected 10 converter calls (two passes for five drawings), saw $calls"
[ -z "$(find out -iname 'dummy*.dxf')" ] || fail "an intermediate file was left"

run
again=$(wc -l < acad/calls.log)
[ "$again" -eq "$calls" ] || fail "the second run converted again ($again calls)"
[ -z "$(find out -iname 'dummy*.dxf')" ] || fail "an intermediate file was left after the second run"

echo "ok: five drawings converted into their folders, nothing converted again, no intermediate file left"
