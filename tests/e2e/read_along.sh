#!/usr/bin/env bash
# Read-along in the real window with SDL_mixer: page 1 of the test book gets
# a whole-page recording and its words' times. Play reads it along (each
# word lit once the music's own position has reached it, never before),
# pause and play go on from the lit word through a real seek, and after the
# recording and its rest auto-play turns to page 2. Checked through the
# order of the log lines.
LIRRA=$1
SOURCE=$2
source "$(dirname "$0")/lib.bash"

make_test_book "$SOURCE"
book="$E2E_TMP/book/testLirra"
recording="testLirra/epc/$(printf '%s' pg01.mp3 | md5sum | cut -c1-32).mp3"
# Two words said slowly, with a pause between them: over two seconds.
espeak-ng -s 90 -w "$E2E_TMP/page.wav" "sun. . . . moon. . . ." 2>/dev/null &&
    lame --quiet "$E2E_TMP/page.wav" "$E2E_TMP/book/$recording" || fail "cannot make the page recording (espeak-ng, lame)"
cat >"$book/StringReadAlong.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>pg01</key><string>2</string>
<key>rd011</key><string>0.150 0.600</string>
<key>rd012</key><string>1.300 1.800</string>
</dict></plist>
EOF

start_x 1280x1024
"$LIRRA" --resources "$E2E_TMP/book" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 &
APP_PID=$!
wait_for_log "TestController"
wid=$(wait_for_window lirra) || fail "no window titled 'lirra' appeared"
eval "$(xdotool getwindowgeometry --shell "$wid")"
click() { xdotool mousemove --window "$wid" "$(window_x "$1")" "$(window_y "$2")" click 1; }

# "Read the book": page 1, which reads along.
wait_for_pixel "$wid" "$E2E_TMP/home.png" 5 5 "230,230,230"
click 320 550
wait_for_log "read-along: page 1 reads along from $recording (2 words"
wait_for_log "Scene 1: onEnterTransitionDidFinish"

# Play; pause once word 2 is lit; play again: the recording goes on from
# just before word 2 (a seek in SDL_mixer), and word 2 is lit again.
click 580 40
wait_for_log "read-along: page 1 word 2 lit at"
click 580 40
wait_for_log "read-along: page 1 recording stopped at"
click 580 40
wait_for_log "read-along: page 1 recording starts at 1.200 s (word 2)"
wait_for_log "read-along: page 1 recording ended"
wait_for_log "Scene 2 onEnter"

# The order of what happened, line by line.
line() { awk -v pattern="$1" 'index($0, pattern) {print NR; exit}' "$E2E_TMP/lirra.log"; }
last_line() { awk -v pattern="$1" 'index($0, pattern) {n = NR} END {print n}' "$E2E_TMP/lirra.log"; }
in_order() {
    local previous=0 at
    for pattern in "$@"; do
        at=$(awk -v pattern="$pattern" -v after="$previous" 'NR > after && index($0, pattern) {print NR; exit}' \
            "$E2E_TMP/lirra.log")
        [ -n "$at" ] || fail "no '$pattern' after line $previous: $(grep -e read-along -e audio: "$E2E_TMP/lirra.log")"
        previous=$at
    done
}
in_order "audio: play $recording" \
    "read-along: page 1 recording starts at 0.000 s (word 1)" \
    "read-along: page 1 word 1 lit at" \
    "read-along: page 1 word 2 lit at" \
    "read-along: page 1 recording stopped at" \
    "audio: stop" \
    "audio: play $recording" \
    "audio: seek 1.200" \
    "read-along: page 1 recording starts at 1.200 s (word 2)" \
    "read-along: page 1 word 2 lit at" \
    "read-along: page 1 recording ended" \
    "Scene 2 onEnter"
# No word's own clip was played on page 1, and page 2 was built only once
# the recording had ended.
[ "$(line "audio: play testLirra/epc/$(printf '%s' mc011.mp3 | md5sum | cut -c1-32)")" = "" ] ||
    fail "auto-play played a word's own clip on a page that reads along"
[ "$(last_line "recording ended")" -lt "$(line "Scene 2 onEnter")" ] || fail "page 2 came before the recording ended"

# Every word lit at or after its start, by the music's position.
grep "read-along: page 1 word [0-9]* lit at" "$E2E_TMP/lirra.log" | tee "$E2E_TMP/lit.txt"
awk '{ for (i = 1; i <= NF; ++i) { if ($i == "at" && $(i + 2) == "s" && !p) { p = $(i + 1) } if ($i == "starts") s = $(i + 2) }
       if (p + 0 < s + 0) { print "early: " $0; bad = 1 } p = "" }
     END { exit bad }' "$E2E_TMP/lit.txt" || fail "a word was lit before its start"
echo "PASS"
