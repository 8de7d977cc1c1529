#!/bin/sh
# Instructions per frame of a still page and of page turns, counted by
# callgrind (they hold on a loaded machine, where frame times do not):
# media_bench's profiler mode dumps each frame on its own.
#   usage: frame_instructions.sh MEDIA_BENCH [--software|--opengl] [TURNS] [STILL]
# Under --opengl run it in a display with LP_NUM_THREADS=0, so that llvmpipe
# draws in the counted thread.
set -eu
BENCH=${1:?usage: frame_instructions.sh MEDIA_BENCH [--software|--opengl] [TURNS] [STILL]}
MODE=${2:---software}
TURNS=${3:-4}
STILL=${4:-5}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$TMP/cg.%p" --dump-instr=no --collect-jumps=no \
    "$BENCH" --dump-frames --turns="$TURNS" --still="$STILL" "$MODE" >"$TMP/out" 2>"$TMP/err" ||
    { cat "$TMP/err" >&2; exit 1; }
# Each dump names its trigger; its "summary:" or "totals:" line holds Ir.
for f in "$TMP"/cg.*.*; do
    kind=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
    ir=$(sed -n 's/^summary: *//p; s/^totals: *//p' "$f" | head -1 | awk '{print $1}')
    [ -n "$kind" ] && [ -n "$ir" ] && echo "$kind $ir"
done | awk '
    { n[$1]++; sum[$1] += $2; if ($2 > max[$1]) max[$1] = $2 }
    END {
        for (k in n)
            printf "%s: %d frames, mean %.1f M, worst %.1f M instructions\n", k, n[k], sum[k] / n[k] / 1e6, max[k] / 1e6
    }'
grep -v '^turn ' "$TMP/out" || true
