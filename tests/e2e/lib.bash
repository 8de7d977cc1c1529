# Shared helpers for the end-to-end runs: a private X server with a window
# manager (so minimise and close behave as on a desktop), and checks.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/lirra-e2e.XXXXXX)
# The runs' own shelf and picture cache: what the tester keeps in theirs
# must not change what `lirra` opens here.
export XDG_DATA_HOME="$E2E_TMP/data" XDG_CACHE_HOME="$E2E_TMP/cache"
XVFB_PID=""
WM_PID=""
APP_PID=""

e2e_cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$E2E_TMP/lirra.log" ]; then
        echo "--- lirra log" >&2
        tail -30 "$E2E_TMP/lirra.log" >&2
        echo "--- output" >&2
        tail -40 "$E2E_TMP/stdout.txt" >&2 || true
    fi
    exit 1
}

# Every wait below is for a condition; the deadlines are generous so that a
# machine busy with other work is slow, not failing.
E2E_DEADLINE=${E2E_DEADLINE:-90}

# Runs "$@" every 0.1 s until it succeeds; false after $E2E_DEADLINE seconds.
wait_until() {
    local end=$((SECONDS + E2E_DEADLINE))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# Closes window $1 with the window manager's close button; the program must
# end, with status 0.
close_window_expecting_clean_exit() {
    wmctrl -i -c "$1"
    app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
    wait_until app_ended || fail "the program did not end when its window was closed"
    local status=0
    wait "$APP_PID" || status=$?
    APP_PID=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# Starts Xvfb on a display it picks itself (no race with other runs on the
# machine), with a desktop of WIDTHxHEIGHT, then openbox unless $2 is "bare"
# (an X server without a window manager).
start_x() {
    local size=${1:-1280x1024}
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until display_chosen || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -1 "$E2E_TMP/display")"
    wait_until xdpyinfo || fail "Xvfb on $DISPLAY does not answer"
    [ "${2:-}" = bare ] && return 0
    # Ready once it answers as the desktop's window manager. Once in a long
    # loaded run openbox did not come up; a fresh one is started then, and
    # its log goes with the failure.
    local attempt
    for attempt in 1 2 3; do
        openbox >"$E2E_TMP/openbox.log" 2>&1 &
        WM_PID=$!
        wm_answers && return 0
        echo "openbox did not answer (attempt $attempt): $(tail -3 "$E2E_TMP/openbox.log")" >&2
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    done
    fail "the window manager did not start: $(tail -5 "$E2E_TMP/openbox.log")"
}

# Whether openbox answers within a third of the deadline (false as soon as it has died).
wm_answers() {
    local end=$((SECONDS + E2E_DEADLINE / 3))
    until wmctrl -m >/dev/null 2>&1; do
        kill -0 "$WM_PID" 2>/dev/null || return 1
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

display_chosen() {
    kill -0 "$XVFB_PID" && [ -n "$(head -1 "$E2E_TMP/display")" ]
}

# Waits for a log line matching $1.
wait_for_log() {
    wait_until grep -q -- "$1" "$E2E_TMP/lirra.log" || fail "log line '$1' did not appear within ${E2E_DEADLINE}s"
}

# Prints the id of the first window titled exactly $1, once there is one.
# (xdotool's own --sync search can fail when another window goes away
# during the search.)
wait_for_window() {
    local wid=""
    local end=$((SECONDS + E2E_DEADLINE))
    while [ -z "$wid" ]; do
        wid=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) || wid=""
        [ -n "$wid" ] && break
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
    echo "$wid"
}

# Screenshots window $1 (or "root") into $2 until pixel ($3, $4) is $5.
wait_for_pixel() {
    local end=$((SECONDS + E2E_DEADLINE)) seen=""
    while true; do
        if import -window "$1" "$2" 2>/dev/null; then
            seen=$(pixel "$2" "$3" "$4") || seen=""
            [ "$seen" = "$5" ] && return 0
        fi
        [ "$SECONDS" -ge "$end" ] && fail "pixel ($3, $4) of $1 is '$seen', not $5, after ${E2E_DEADLINE}s"
        sleep 0.1
    done
}

# The colour of one pixel of a PNG as "r,g,b".
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# A copy of the end-to-end test book in $E2E_TMP/book, with spoken narration
# for word 1 of page 1 ("sun") when espeak-ng and lame are there. Sets
# NARRATION to the file's name under the book root.
make_test_book() {
    local source=$1
    cp -r "$source/tests/data/book" "$E2E_TMP/book"
    NARRATION="testLirra/epc/$(printf '%s' mc011.mp3 | md5sum | cut -c1-32).mp3"
    mkdir -p "$E2E_TMP/book/testLirra/epc"
    espeak-ng -w "$E2E_TMP/sun.wav" "the sun is shining over the hill and the sea" 2>/dev/null &&
        lame --quiet "$E2E_TMP/sun.wav" "$E2E_TMP/book/$NARRATION" || fail "cannot make narration (espeak-ng, lame)"
}

# Window pixel column of design x, and row of design y, for a $WIDTH x $HEIGHT window.
window_x() { echo $(($1 * WIDTH / 640)); }
window_y() { echo $(((960 - $1) * HEIGHT / 960)); }

# Pixels near pure blue (the word label's text) in a PNG's region WxH+X+Y.
blue_pixels() {
    convert "$1" -crop "$2" +repage -fx '(r<0.35 && g<0.35 && b>0.6) ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:
}
