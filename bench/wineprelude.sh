# What the Wine benchmarks share, sourced by each: a Wine of its own in a
# new folder $tmp (or TESSIVA_BENCH_PREFIX), a Japanese Windows, and one
# server for every run, so that no run pays for starting it.
tmp=$(mktemp -d)
export WINEPREFIX=${TESSIVA_BENCH_PREFIX:-$tmp/prefix} WINEDEBUG=-all
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
