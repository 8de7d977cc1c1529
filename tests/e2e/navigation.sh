#!/usr/bin/env bash
# Turning pages in the real window: the page menu from the home page, page 3
# picked, a leftward drag curling over to page 4, play reading page 4 and
# turning to page 5 by itself, and home again with "continue" shown.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

# The test book with pages 3 to 5, each a shade of its own (red channel
# 200, 170, 140) so that screenshots tell them apart.
make_test_book "$SOURCE"
pages="$E2E_TMP/book/testLirra/tb"
sed -i 's|<key>pageMax</key><string>2</string>|<key>pageMax</key><string>5</string>|' \
    "$E2E_TMP/book/testLirra/StringConfig.xml"
for p in 3 4 5; do
    sed -e "s/bn01/bn0$p/g" -e "s/\"bgColorR\": 230/\"bgColorR\": $((290 - 30 * p))/" "$pages/tb_1.json" >"$pages/tb_$p.json"
done
page_colour() { echo "$((290 - 30 * $1)),230,230"; }

# The program saves a frame of its own halfway through the first page turn,
# however slowly a loaded machine draws it.
echo "at 0 turnshot $E2E_TMP/curl.png" >"$E2E_TMP/script.txt"

start_x 1280x1080
"$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" --script "$E2E_TMP/script.txt" \
    >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
# The window is looked up once the first scene is built (SDL may make the
# window again for its renderer before that).
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"
eval "$(xdotool getwindowgeometry --shell "$wid")"

# Waits until design point ($2, $3) of a fresh screenshot $1 is colour $4.
wait_for_pixel() {
    local shot=$1 x=$2 y=$3 want=$4
    local end=$((SECONDS + E2E_DEADLINE))
    while [ "$SECONDS" -lt "$end" ]; do
        import -window "$wid" "$E2E_TMP/$shot.png"
        [ "$(pixel "$E2E_TMP/$shot.png" "$(window_x "$x")" "$(window_y "$y")")" = "$want" ] && return 0
        sleep 0.1
    done
    fail "$shot: design point ($x, $y) is $(pixel "$E2E_TMP/$shot.png" "$(window_x "$x")" "$(window_y "$y")"), not $want"
}
# Waits until two screenshots in a row are the same: an animation (the
# page menu's fly-in) has come to rest.
wait_for_rest() {
    import -window "$wid" "$E2E_TMP/rest0.png"
    local end=$((SECONDS + E2E_DEADLINE))
    while [ "$SECONDS" -lt "$end" ]; do
        sleep 0.1
        import -window "$wid" "$E2E_TMP/rest1.png"
        [ "$(compare -metric AE "$E2E_TMP/rest0.png" "$E2E_TMP/rest1.png" null: 2>&1)" = "0" ] && return 0
        mv "$E2E_TMP/rest1.png" "$E2E_TMP/rest0.png"
    done
    fail "the window did not come to rest"
}
click() { xdotool mousemove --window "$wid" "$(window_x "$1")" "$(window_y "$2")" click 1; }

# Home page -> page menu; the square of page 3 has flown in.
wait_for_pixel home 5 955 230,230,230
click 320 400
wait_for_log "page menu: pages 1 to 5"
wait_for_pixel menu 360 848 255,0,0
wait_for_rest
click 400 848
wait_for_log "Scene 1 onEnter"
wait_for_pixel page3 5 955 "$(page_colour 3)"

# A leftward drag of 200 points turns to page 4, one page only. In the
# program's own frame from halfway through the curl the top left corner is
# still page 3 while the lower right, lifted first, shows page 4 or the
# turning page's back (before, both are page 3; after, both page 4).
xdotool mousemove --window "$wid" "$(window_x 500)" "$(window_y 800)" mousedown 1
for x in 480 440 400 350 300; do xdotool mousemove --window "$wid" "$(window_x $x)" "$(window_y 800)"; done
xdotool mouseup 1
wait_for_log "Scene 2 onEnter"
wait_for_pixel page4 5 955 "$(page_colour 4)"
grep -q "Scene 2 onEnter" "$E2E_TMP/lirra.log" && ! grep -q "page_name.*tb_5" "$E2E_TMP/lirra.log" ||
    fail "one drag turned more than one page"
wait_for_log "script: saved frame to $E2E_TMP/curl.png"
top_left=$(pixel "$E2E_TMP/curl.png" "$(window_x 5)" "$(window_y 955)")
lower_right=$(pixel "$E2E_TMP/curl.png" "$(window_x 630)" "$(window_y 150)")
[ "$top_left" = "$(page_colour 3)" ] && [ "$lower_right" != "$(page_colour 3)" ] ||
    fail "the frame halfway through the curl shows $top_left at the top left and $lower_right at the lower right"
echo "mid-curl: $(grep -o 'a scene change [0-9]* % of its way' "$E2E_TMP/lirra.log" | head -1)"

# Play: auto-play reads page 4's words and turns to page 5 by itself.
click 580 40
wait_for_log "auto-play: word 1 of page 4" 15
wait_for_log "auto-play: word 2 of page 4" 15
wait_for_log "auto-play: word 1 of page 5" 20
wait_for_pixel page5 5 955 "$(page_colour 5)"

# F11: fullscreen on the 1280 x 1080 desktop keeps the page's 2:3 shape,
# 720 x 1080 in the middle with black bars at the sides; F11 again gives the
# window back.
window_width=$WIDTH
window_height=$HEIGHT
xdotool windowfocus --sync "$wid" key F11
wait_until sh -c "xdotool getwindowgeometry --shell $wid | grep -qx 'WIDTH=1280'" ||
    fail "F11 did not make the window fill the screen"
seen=""
fullscreen_drawn() {
    import -window "$wid" "$E2E_TMP/fullscreen.png" || return 1
    seen=$(pixel "$E2E_TMP/fullscreen.png" 290 10)
    [ "$seen" = "$(page_colour 5)" ]
}
end=$((SECONDS + E2E_DEADLINE))
until fullscreen_drawn || [ "$SECONDS" -ge "$end" ]; do sleep 0.1; done
[ "$seen" = "$(page_colour 5)" ] || fail "fullscreen: the page's top left is $seen, not page 5's colour"
[ "$(pixel "$E2E_TMP/fullscreen.png" 100 540)" = "0,0,0" ] && [ "$(pixel "$E2E_TMP/fullscreen.png" 1180 540)" = "0,0,0" ] ||
    fail "fullscreen: no black bars beside the page"
[ "$(pixel "$E2E_TMP/fullscreen.png" 990 540)" != "0,0,0" ] || fail "fullscreen: the page is narrower than 720"
xdotool windowfocus --sync "$wid" key F11
wait_until sh -c "xdotool getwindowgeometry --shell $wid | grep -qx 'WIDTH=$window_width'" ||
    fail "F11 again did not give the window back"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$HEIGHT" = "$window_height" ] || fail "the window came back $WIDTH x $HEIGHT, not $window_width x $window_height"

# Home: picked from the page menu, so "continue" shows.
click 60 30
wait_until sh -c "[ \$(grep -c 'TestController.*tb' '$E2E_TMP/lirra.log') -ge 2 ]" ||
    fail "the home item did not go home"
wait_for_pixel home2 320 700 48,112,192

close_window_expecting_clean_exit "$wid"
echo "PASS"
