#!/usr/bin/env bash
# The book makers' guide's worked example, built from the guide itself:
# lirra-check finds it ready, and the reader opens it headless, goes to word
# learning, touches the one word and plays its narration.
set -euo pipefail
LIRRA=$1
CHECK=$2
SOURCE=$3
MAKE=${4:-}
TMP=$(mktemp -d /tmp/lirra-example.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -f "$TMP/lirra.log" ] && tail -30 "$TMP/lirra.log" >&2
    exit 1
}

bash "$SOURCE/docs/example/make-example.sh" "$TMP/book" "$SOURCE/resources"
"$CHECK" "$TMP/book" >"$TMP/report.txt" || { cat "$TMP/report.txt" >&2; fail "the example does not check clean"; }
grep -q "0 error(s), 0 warning(s); the book is ready" "$TMP/report.txt" || fail "no clean summary"

cat >"$TMP/script.txt" <<SCRIPT
at 0.2 down 320 290
at 0.3 up 320 290
at 1.0 down 235 248
at 1.1 up 235 248
at 2.0 quit
SCRIPT
"$LIRRA" --resources "$TMP/book" --headless --script "$TMP/script.txt" --log "$TMP/lirra.log" >/dev/null 2>&1 ||
    fail "the reader ended with an error"
NARRATION="testLirra/epc/$(printf mc011.mp3 | md5sum | cut -c1-32).mp3"
grep -q -- "-----------TestController----- tiny " "$TMP/lirra.log" || fail "the example's configuration was not read"
grep -q "audio: play $NARRATION" "$TMP/lirra.log" || fail "touching the word did not play its narration"
# The one-command example: its source folder made into a book that checks clean.
if [ -n "${MAKE:-}" ]; then
    "$MAKE" "$SOURCE/docs/example/red-kite" -o "$TMP/red-kite.lirra" >"$TMP/make.txt" 2>&1 ||
        { cat "$TMP/make.txt" >&2; fail "lirra-make failed on docs/example/red-kite"; }
    "$CHECK" "$TMP/red-kite.lirra" | grep -q "0 error(s), 0 warning(s); the book is ready" ||
        fail "the one-command example does not check clean"
fi
echo "the worked examples check clean and read aloud"
