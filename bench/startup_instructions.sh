#!/bin/sh
# Instructions from exec to the first frame presented in a window, counted by
# callgrind (they hold on a loaded machine, where times do not), for the
# reader and for bench/bare_window.cpp with the same renderer, and their
# ratio. Each runs twice with caches of its own and the second run counts:
# a reader starts with its fonts' and OpenGL's shader caches warm.
#   usage: startup_instructions.sh LIRRA BARE_WINDOW [software|opengl]
# The bare window is counted twice: cleared, and showing two pictures as the
# reader's first frame does (bare_window.cpp says why).
# Run it under a display, e.g.
#   xvfb-run -a -s '-screen 0 1280x1024x24' bench/startup_instructions.sh \
#       build/bench/lirra build/bench/bench/bare_window software
# Under opengl, LP_NUM_THREADS=0 keeps llvmpipe's drawing in the counted thread.
set -eu
LIRRA=${1:?usage: startup_instructions.sh LIRRA BARE_WINDOW [software|opengl]}
BARE=${2:?usage: startup_instructions.sh LIRRA BARE_WINDOW [software|opengl]}
RENDERER=${3:-software}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
# Instructions up to the end of the first SDL_RenderPresent of `$1 ...`.
count() {
    tag=$1
    shift
    for run in 1 2; do
        rm -f "$TMP/$tag".*
        LP_NUM_THREADS=0 SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$TMP/data" XDG_CACHE_HOME="$TMP/cache-$tag" \
            valgrind --tool=callgrind --callgrind-out-file="$TMP/$tag.%p" --dump-after=SDL_RenderPresent \
            "$@" >"$TMP/out" 2>&1 || { cat "$TMP/out" >&2; exit 1; }
    done
    # The dump made at the present: the only file with a part number.
    sed -n 's/^summary: *//p' "$TMP/$tag".*.1 | head -1
}
ours=$(count lirra "$LIRRA" --frames 1 --renderer "$RENDERER")
bare=$(count bare "$BARE" "$RENDERER")
shown=$(count shown "$BARE" "$RENDERER" pictures)
awk -v r="$RENDERER" -v o="$ours" -v b="$bare" -v s="$shown" 'BEGIN {
    printf "%s, instructions to the first frame: lirra %d; bare window %d (ratio %.2f); bare window with two pictures %d (ratio %.2f)\n", r, o, b, o / b, s, o / s
}'
