#!/usr/bin/env bash
# The real binary in a real X window: title and shape, what it shows, a click
# reaching a touch handler at the right design point, minimise and restore,
# and closing the window ending the process with status 0.
LIRRA=$1
source "$(dirname "$0")/lib.bash"

start_x 1280x1080
"$LIRRA" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!

wid=$(timeout 15 xdotool search --sync --name '^lirra$' | head -1) || fail "no window titled 'lirra' appeared"
sleep 1

# The frame is sized from the usable desktop height, aspect about 0.817.
eval "$(xdotool getwindowgeometry --shell "$wid")"
ratio=$(echo "scale=4; $WIDTH / $HEIGHT" | bc)
echo "window ${WIDTH}x${HEIGHT}, ratio $ratio"
awk -v r="$ratio" 'BEGIN { exit !(r > 0.80 && r < 0.83) }' || fail "aspect ratio $ratio is not about 0.817"

# The first scene: the cream background and the cover picture at the centre.
import -window "$wid" "$E2E_TMP/shot.png"
corner=$(pixel "$E2E_TMP/shot.png" 5 5)
middle=$(pixel "$E2E_TMP/shot.png" $((WIDTH / 2)) $((HEIGHT / 2)))
echo "corner $corner, middle $middle"
[ "$corner" = "250,240,215" ] || fail "background colour is $corner"
[ "$middle" != "250,240,215" ] && [ "$middle" != "0,0,0" ] || fail "the cover picture is not drawn ($middle)"

# A click at a quarter across and three quarters down is design point (160, 240).
xdotool mousemove --window "$wid" $((WIDTH / 4)) $((HEIGHT * 3 / 4)) click 1
wait_for_log "welcome: touch ended"
line=$(grep "welcome: touch began" "$E2E_TMP/lirra.log" | tail -1)
read -r x y <<<"$(echo "$line" | awk '{print $5, $6}')"
echo "click arrived at design point $x $y"
[ $((x - 160)) -ge -2 ] && [ $((x - 160)) -le 2 ] && [ $((y - 240)) -ge -2 ] && [ $((y - 240)) -le 2 ] ||
    fail "click arrived at ($x, $y), expected (160, 240)"

# Minimise stops the drawing, restore starts it again.
xdotool windowminimize --sync "$wid" || true
wait_for_log "application: entered the background"
sleep 1
wmctrl -i -a "$wid" 2>/dev/null || xdotool windowactivate "$wid" 2>/dev/null || xdotool windowmap "$wid"
wait_for_log "application: back in the foreground"
stopped_at=$(grep -o 'entered the background at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
back_at=$(grep -o 'back in the foreground at frame [0-9]*' "$E2E_TMP/lirra.log" | tail -1 | awk '{print $NF}')
echo "drawing stopped at frame $stopped_at, resumed at $back_at"
[ "$stopped_at" = "$back_at" ] || fail "frames were drawn in the background ($stopped_at -> $back_at)"
sleep 0.5
import -window "$wid" "$E2E_TMP/shot2.png"
[ "$(pixel "$E2E_TMP/shot2.png" 5 5)" = "250,240,215" ] || fail "nothing drawn after restoring"

# Closing the window ends the process with status 0.
wmctrl -i -c "$wid"
for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$APP_PID" 2>/dev/null && fail "the process did not end after the window was closed"
status=0
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "PASS"
