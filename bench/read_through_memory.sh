#!/bin/sh
# Peak resident memory of reading the sample book through in a real window:
# the home page, the book opened, TURNS page turns, quit. Counted in KiB
# (VmHWM), not timed, so it holds on a loaded machine. Run under a display,
# e.g. xvfb-run -a -s '-screen 0 1280x1024x24' bench/read_through_memory.sh
#   usage: read_through_memory.sh LIRRA [TURNS] [-- extra lirra flags]
set -eu
LIRRA=${1:?usage: read_through_memory.sh LIRRA [TURNS] [-- flags]}
shift
TURNS=11
if [ $# -gt 0 ] && [ "$1" != "--" ]; then TURNS=$1; shift; fi
[ $# -gt 0 ] && [ "$1" = "--" ] && shift
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
{
    echo "at 1 key Tab"
    echo "at 1.5 key Return"
    t=4
    i=0
    while [ "$i" -lt "$TURNS" ]; do
        echo "at $t key Right"
        t=$((t + 3))
        i=$((i + 1))
    done
    echo "at $t quit"
} >"$TMP/script"
# Shelves of its own, empty: the program opens the sample book as a reader
# with no books of their own would see it.
XDG_DATA_HOME="$TMP/data" XDG_CACHE_HOME="$TMP/cache" \
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$LIRRA" --script "$TMP/script" --log "$TMP/log" "$@" >/dev/null 2>&1 &
pid=$!
peak=0
# VmHWM is gone once the process is reaped: read it while it runs.
while kill -0 "$pid" 2>/dev/null; do
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 0.2
done
wait "$pid" || { echo "lirra failed" >&2; cat "$TMP/log" >&2; exit 1; }
renderer=$(grep -o "view: renders with [a-z0-9_]*" "$TMP/log" | head -1 || true)
echo "turns=$TURNS peak_rss_kib=$peak ${renderer:-}"
