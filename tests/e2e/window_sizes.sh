#!/usr/bin/env bash
# The window at other sizes: F11 on an X server without a window manager
# fills the display with the page in its shape between bars, and gives the
# window back; with a window manager the window can be resized and
# maximised, the page keeps its shape between bars, clicks land on what is
# drawn under them, and the window stops at a minimum size.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"

# The page's rectangle that the program last logged: "W H X Y OW OH".
page_area() {
    grep -o 'the page fills [0-9]* x [0-9]* pixels from ([0-9]*, [0-9]*) of [0-9]* x [0-9]*' "$E2E_TMP/lirra.log" |
        tail -1 | tr -c '0-9\n' ' ' | awk '{print $1, $2, $3, $4, $5, $6}'
}
# Fails unless the logged page area fits a WxH output with the page's shape ($1, width/height).
expect_page_in() {
    local shape=$1 ow=$2 oh=$3
    wait_until sh -c "grep -q 'the page fills .* of $ow x $oh' '$E2E_TMP/lirra.log'" ||
        fail "no page area logged for a $ow x $oh output: $(page_area)"
    read -r pw ph px py _ _ <<<"$(page_area)"
    echo "page $pw x $ph at ($px, $py) of $ow x $oh"
    awk -v w="$pw" -v h="$ph" -v s="$shape" 'BEGIN { exit !(w / h > s - 0.01 && w / h < s + 0.01) }' ||
        fail "the page is $pw x $ph, not of the shape $shape"
    [ "$pw" -eq "$ow" ] || [ "$ph" -eq "$oh" ] || fail "the page ($pw x $ph) fills neither side of $ow x $oh"
    [ "$px" -eq $(((ow - pw) / 2)) ] && [ "$py" -eq $(((oh - ph) / 2)) ] || fail "the page is not centred"
}
# Screenshots $1 (a window id or root) until the page's middle shows and, where
# there are bars, they are black.
expect_drawn() {
    local target=$1 shot="$E2E_TMP/$2.png"
    read -r pw ph px py ow oh <<<"$(page_area)"
    local cx=$((px + pw / 2)) cy=$((py + ph / 2))
    wait_for_pixel "$target" "$shot" "$cx" $((py + 3)) "230,230,230"
    if [ "$px" -gt 2 ]; then
        [ "$(pixel "$shot" 1 "$cy")" = "0,0,0" ] && [ "$(pixel "$shot" $((ow - 2)) "$cy")" = "0,0,0" ] ||
            fail "$2: no black bars at the sides"
    fi
    if [ "$py" -gt 2 ]; then
        [ "$(pixel "$shot" "$cx" 1)" = "0,0,0" ] && [ "$(pixel "$shot" "$cx" $((oh - 2)))" = "0,0,0" ] ||
            fail "$2: no black bars above and below"
    fi
}

# --- a bare X server, 1920 x 1080
start_x 1920x1080 bare
"$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"
eval "$(xdotool getwindowgeometry --shell "$wid")"
window="$WIDTH $HEIGHT $X $Y"
shape=$(echo "scale=4; $WIDTH / $HEIGHT" | bc)
# Without a window manager the keyboard goes where the pointer is.
xdotool mousemove --window "$wid" 20 20
xdotool key F11
wait_for_log "view: fullscreen on"
wait_until sh -c "xdotool getwindowgeometry --shell $wid | grep -qx 'WIDTH=1920'" ||
    fail "F11 without a window manager left the window at $(xdotool getwindowgeometry "$wid" | tail -1)"
expect_page_in "$shape" 1920 1080
expect_drawn root bare_fullscreen
xdotool mousemove 960 540 key F11
wait_for_log "view: fullscreen off"
wait_until sh -c "[ \"\$(xdotool getwindowgeometry --shell $wid | sed -n 's/^[A-Z]*=//p' | sed -n '2,5p' |
    awk 'NR==1{x=\$0} NR==2{y=\$0} NR==3{w=\$0} NR==4{h=\$0} END{print w, h, x, y}')\" = '$window' ]" ||
    fail "F11 again did not give the window its place back: $(xdotool getwindowgeometry "$wid" | tr '\n' ' ')"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""

# --- with a window manager, 1280 x 1024
start_x 1280x1024
: >"$E2E_TMP/lirra.log"
"$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"

# Wider than the page: bars at the sides, and a click still lands on the
# word-learning button (design point (320, 550)).
xdotool windowsize --sync "$wid" 1000 600
expect_page_in "$shape" 1000 600
expect_drawn "$wid" wide_window
read -r pw ph px py _ _ <<<"$(page_area)"
xdotool mousemove --window "$wid" $((px + 320 * pw / 640)) $((py + (960 - 550) * ph / 960)) click 1
wait_for_log "Scene 1 onEnter"

# Taller than the page: bars above and below.
xdotool windowsize --sync "$wid" 500 900
expect_page_in "$shape" 500 900
expect_drawn "$wid" tall_window

# Maximised: as large as the desktop allows, the page in its shape.
wmctrl -i -r "$wid" -b add,maximized_vert,maximized_horz
wait_until sh -c "xdotool getwindowgeometry --shell $wid | grep -qx 'WIDTH=1280'" ||
    fail "the window did not maximise: $(xdotool getwindowgeometry "$wid" | tail -1)"
eval "$(xdotool getwindowgeometry --shell "$wid")"
expect_page_in "$shape" "$WIDTH" "$HEIGHT"
wmctrl -i -r "$wid" -b remove,maximized_vert,maximized_horz

# The size hints that the window manager keeps to when the reader drags a
# border: a minimum of half the first window, and no maximum.
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
echo "$hints" | grep "minimum size"
read -r min_w min_h <<<"$(echo "$hints" | sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')"
[ -n "$min_w" ] && [ "$min_w" -ge 200 ] && [ "$min_h" -ge 250 ] && [ "$min_w" -lt 640 ] ||
    fail "no sensible minimum size: $hints"
! echo "$hints" | grep -q "maximum size" || fail "the window has a maximum size: $hints"

close_window_expecting_clean_exit "$wid"
echo "PASS"
