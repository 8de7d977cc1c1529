#!/usr/bin/env bash
# The automation flags end to end: a headless run driven by a script, its log
# file and saved frame; wrong flags and a malformed script line exit with 2.
LIRRA=$1
source "$(dirname "$0")/lib.bash"
touch "$E2E_TMP/lirra.log"

cat >"$E2E_TMP/script.txt" <<SCRIPT
# touch the lower left quarter, then save the frame and stop
at 0.1 down 160 240
at 0.2 up 170 250
at 0.3 shot $E2E_TMP/frame.png
at 0.5 quit
SCRIPT
status=0
"$LIRRA" --headless --script "$E2E_TMP/script.txt" --log "$E2E_TMP/lirra.log" >"$E2E_TMP/stdout.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "scripted run ended with status $status"
grep -q "welcome: touch began at 160 240" "$E2E_TMP/lirra.log" || fail "the scripted touch did not arrive"
grep -q "welcome: touch ended at 170 250" "$E2E_TMP/lirra.log" || fail "the scripted lift did not arrive"
[ -f "$E2E_TMP/frame.png" ] || fail "no frame was saved"
size=$(identify -format '%wx%h' "$E2E_TMP/frame.png")
[ "$size" = "825x1009" ] || fail "the frame is $size, not the 1040-pixel desktop's 825x1009"
[ "$(pixel "$E2E_TMP/frame.png" 5 5)" = "250,240,215" ] || fail "the saved frame does not show the first scene"

# --frames stops the run by itself.
status=0
timeout 20 "$LIRRA" --headless --frames 5 >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "--frames 5 ended with status $status"

# Wrong input is named and exits with 2.
printf 'at 0.1 down 160\n' >"$E2E_TMP/bad.txt"
status=0
"$LIRRA" --headless --script "$E2E_TMP/bad.txt" >"$E2E_TMP/bad.out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a malformed script exited with $status"
grep -q "bad.txt:1:" "$E2E_TMP/bad.out" || fail "the malformed line is not named: $(cat "$E2E_TMP/bad.out")"
status=0
"$LIRRA" --fast >"$E2E_TMP/flag.out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown flag exited with $status"
grep -q "unknown option '--fast'" "$E2E_TMP/flag.out" || fail "the unknown flag is not named"
echo "PASS"
