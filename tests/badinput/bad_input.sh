#!/usr/bin/env bash
# The real program, headless, on damaged copies of the sample book: a script
# visits the home page, word learning, a word, a page turn, the settings panel
# and the page menu. Each damaged book must end the run with status 0, a log
# line naming the problem and no sanitizer report; lirra-check, when given,
# must report it too (status 1 or 2). A book without its configuration is
# no book: that run ends with status 2 before it starts.
# bad_input.sh LIRRA SOURCE [LIRRA_CHECK]
set -uo pipefail
LIRRA=$1
SOURCE=$2
CHECK=${3:-}
TMP=$(mktemp -d /tmp/lirra-bad.XXXXXX)
[ -n "${LIRRA_BAD_KEEP:-}" ] || trap 'rm -rf "$TMP"' EXIT
DAMAGE="$SOURCE/tests/support/damage-book.sh"
JOBS=${LIRRA_BAD_JOBS:-4}

# Design points read from the sample book's layouts: bnwordlean (320,290) and
# bnselect (320,180) on the home page, page 1's first word bn011 (235,286),
# the settings panel's bnaoto (320,400).
cat >"$TMP/script.txt" <<'SCRIPT'
at 0.3 down 320 290
at 0.35 up 320 290
at 1.3 down 235 286
at 1.35 up 235 286
at 2.0 key Right
at 3.0 key s
at 3.8 down 320 400
at 3.85 up 320 400
at 4.0 key Escape
at 4.6 key Escape
at 5.4 down 320 180
at 5.45 up 320 180
at 6.3 key Escape
at 7.0 quit
SCRIPT

NARRATION_11="testLirra/epc/$(printf mc011.mp3 | md5sum | cut -c1-32).mp3"
# A 50 MB layout: page 2's own layout padded with spaces at its end (still
# valid, so the page must simply open).
big_layout() {
    local f="$1/testLirra/pip/pip_2.json"
    head -c 52428800 /dev/zero | tr '\0' ' ' >>"$f"
}

# A few bytes each, claiming 16000 x 16000 pixels (about 1 GB decoded).
HUGE_GIF='GIF89a\x80\x3e\x80\x3e\x00\x00\x00\x2c\x00\x00\x00\x00\x80\x3e\x80\x3e\x00\x02\x02\x44\x01\x00\x3b'
HUGE_QOI='qoif\x00\x00\x3e\x80\x00\x00\x3e\x80\x04\x00\x00\x00\x00\x00\x00\x00\x00\x01'
HUGE_SVG="<svg xmlns='http://www.w3.org/2000/svg' width='16000' height='16000'><rect width='16000' height='16000'/></svg>"

# name|expected log text (fixed string; - for none yet)|damage operations
CASES="
no-config|StringConfig.xml|remove testLirra/StringConfig.xml
no-words|Stringstr.xml|remove testLirra/Stringstr.xml
no-ui-texts|String.xml|remove String.xml
no-home-layout|mainpage_1.json|remove mainpage/mainpage_1.json
no-page-layout|pip_1.json|remove testLirra/pip/pip_1.json
no-settings-layout|pageset.json|remove 3age/pageset.json
no-page-picture|page_1.png|remove testLirra/pip/page_1.png
no-narration|$NARRATION_11|remove $NARRATION_11
no-button-image|next1.png|remove Images/next1.png
no-turned-page-picture|page_2.png|remove testLirra/pip/page_2.png
truncated-png|page_1.png|truncate testLirra/pip/page_1.png 100
garbage-png|page_1.png|garbage testLirra/pip/page_1.png
truncated-mp3|$NARRATION_11|truncate $NARRATION_11 20
garbage-mp3|$NARRATION_11|garbage $NARRATION_11
truncated-json|pip_1.json|truncate testLirra/pip/pip_1.json 100
garbage-json|mainpage_1.json|garbage mainpage/mainpage_1.json
truncated-xml|StringConfig.xml|truncate testLirra/StringConfig.xml 150
garbage-xml|Stringstr.xml|garbage testLirra/Stringstr.xml
wrong-type-config|\"pageMax\" is \"twelve\", not a number|config pageMax twelve
wrong-type-layout|pip_1.json|write testLirra/pip/pip_1.json '{\"widgetTree\":{\"classname\":\"Panel\",\"options\":{\"name\":7,\"width\":\"wide\"},\"children\":\"none\"}}'
huge-layout|Scene 2 onEnter|BIG
climbing-subname|../|config lirraSubName ../../..
page-max-huge|\"pageMax\" is 2000000000, beyond the 999999 pages|config pageMax 2000000000
page-max-beyond-files|page 13 has no layout|config pageMax 40 config wordMin 12
page-min-above-max|pageMin 13 is above pageMax 12|config pageMin 13
empty-subname|\"lirraSubName\" is empty|config lirraSubName ''
long-ui-text|a text of 200000 bytes is cut to its first 16384 characters|long-text String.xml bntext 200000
wav-narration|$NARRATION_11: not played as narration: it starts with bytes 52 49 46 46|wav $NARRATION_11
loud-narration|$NARRATION_11: not played as narration: its first 0.1 s clip|loud-mp3 $NARRATION_11
huge-textsize|\"textsize\" is 2147483647, beyond the largest of 500 points; it counts as 500|config textsize 2147483647
long-word-text|the text of \"str011\" has 1600 bytes, over the 1599 a bubble shows|long-text testLirra/Stringstr.xml str011 1600
fifo-narration|$NARRATION_11': a FIFO, not a regular file|fifo $NARRATION_11
linked-page-picture|page_1.png': a symbolic link leads outside|link testLirra/pip/page_1.png $SOURCE/resources/testLirra/pip/page_1.png
linked-ui-texts|'String.xml': a symbolic link leads outside|link String.xml $SOURCE/resources/String.xml
linked-page-folder|pip_1.json': a symbolic link leads outside|link testLirra/pip $SOURCE/resources/testLirra/pip
sparse-layout|pip_2.json': 3221225472 bytes, beyond the limit of 64 MB for a layout|truncate testLirra/pip/pip_2.json 3G
huge-gif|is GIF, not a PNG or JPEG picture|bytes testLirra/pip/page_1.png '$HUGE_GIF'
huge-qoi|is QOI, not a PNG or JPEG picture|bytes testLirra/pip/page_1.png '$HUGE_QOI'
huge-svg|is SVG, not a PNG or JPEG picture|write testLirra/pip/page_1.png \"$HUGE_SVG\"
cut-jpeg|the JPEG is cut short|jpeg testLirra/pip/page_1.png truncate testLirra/pip/page_1.png 5000
"

run_case() {
    local name=$1 want=$2 ops=$3 dir="$TMP/$1"
    mkdir -p "$dir"
    if [ "$ops" = BIG ]; then
        "$DAMAGE" "$SOURCE/resources" "$dir/book" && big_layout "$dir/book"
    else
        eval "\"\$DAMAGE\" \"\$SOURCE/resources\" \"\$dir/book\" $ops"
    fi >"$dir/damage.txt" 2>&1 || { echo "FAIL $name: cannot damage the book" >"$dir/result"; return; }
    local status=0
    "$LIRRA" --headless --resources "$dir/book" --script "$TMP/script.txt" --log "$dir/log.txt" \
        >"$dir/out.txt" 2>&1 || status=$?
    local why="" want_status=0
    # Without its configuration a folder holds no book: the run ends before it starts.
    case $name in no-config | truncated-xml) want_status=2 ;; esac
    [ "$status" -eq "$want_status" ] || why="exit status $status"
    [ "$want" = - ] || grep -qF -- "$want" "$dir/log.txt" "$dir/out.txt" 2>/dev/null ||
        why="$why; no log line with '$want'"
    grep -qE 'Sanitizer|runtime error:' "$dir/out.txt" && why="$why; sanitizer report"
    # A large but valid layout is no problem for the checker to report.
    if [ -n "$CHECK" ] && [ "$name" != huge-layout ]; then
        local cs=0
        "$CHECK" "$dir/book" >"$dir/check.txt" 2>&1 || cs=$?
        { [ "$cs" -eq 1 ] || [ "$cs" -eq 2 ]; } || why="$why; lirra-check status $cs"
    fi
    rm -rf "$dir/book"
    if [ -n "$why" ]; then
        echo "FAIL $name: ${why#; }" >"$dir/result"
    else
        echo "ok $name" >"$dir/result"
    fi
}

while IFS='|' read -r name want ops; do
    [ -n "$name" ] || continue
    [ -z "${LIRRA_BAD_ONLY:-}" ] || [ "$name" = "$LIRRA_BAD_ONLY" ] || continue
    run_case "$name" "$want" "$ops" &
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n; done
done <<<"$CASES"
wait

failures=0
while IFS='|' read -r name _ _; do
    [ -n "$name" ] || continue
    [ -z "${LIRRA_BAD_ONLY:-}" ] || [ "$name" = "$LIRRA_BAD_ONLY" ] || continue
    result=$(cat "$TMP/$name/result" 2>/dev/null || echo "FAIL $name: no result")
    echo "$result"
    case $result in
    FAIL*)
        failures=$((failures + 1))
        grep -v '^audio' "$TMP/$name/log.txt" 2>/dev/null | tail -8 | sed 's/^/    log: /'
        grep -E 'Sanitizer|runtime error|ERROR|damage' "$TMP/$name/out.txt" "$TMP/$name/damage.txt" 2>/dev/null | head -5 | sed 's/^/    out: /'
        ;;
    esac
done <<<"$CASES"
# Runs that must end as asked however far a touch lies, and failures to write
# that must be said: a shot or the log on a full disk.
# expect_run NAME STATUS 'FIXED TEXT IN LOG OR OUTPUT' LIRRA-ARGS...
expect_run() {
    local name=$1 want_status=$2 want=$3 dir="$TMP/run-$1"
    shift 3
    mkdir -p "$dir"
    local status=0
    "$LIRRA" --headless --resources "$SOURCE/resources" "$@" >"$dir/out.txt" 2>&1 || status=$?
    local why=""
    [ "$status" -eq "$want_status" ] || why="exit status $status, not $want_status"
    grep -qF -- "$want" "$dir/out.txt" "$dir/log.txt" 2>/dev/null || why="$why; no line with '$want'"
    grep -qE 'Sanitizer|runtime error:' "$dir/out.txt" && why="$why; sanitizer report"
    if [ -n "$why" ]; then
        echo "FAIL $name: ${why#; }"
        tail -5 "$dir/out.txt" | sed 's/^/    out: /'
        failures=$((failures + 1))
    else
        echo "ok $name"
    fi
}
extra_runs() {
    printf 'at 0.3 down 320 290\nat 0.35 up 320 290\nat 1.0 down 3000000000 -3000000000\nat 1.05 up 3000000000 -3000000000\nat 1.5 quit\n' >"$TMP/far.txt"
    mkdir -p "$TMP/run-far-touch"
    expect_run far-touch 0 "page: tap at (3000000000.0, -3000000000.0), 1000000000 and 1000000000 from the last one" \
        --script "$TMP/far.txt" --log "$TMP/run-far-touch/log.txt"
    printf 'at 0.3 shot /dev/full\nat 0.5 quit\n' >"$TMP/full.txt"
    mkdir -p "$TMP/run-shot-full-disk"
    expect_run shot-full-disk 3 "cannot write /dev/full: No space left on device" --script "$TMP/full.txt" \
        --log "$TMP/run-shot-full-disk/log.txt"
    expect_run log-full-disk 0 "lirra: cannot write the log file '/dev/full'" --frames 30 --log /dev/full
}

# A reader building a page with a huge text still ends promptly at SIGTERM:
# the signal comes as the page starts to build (the home page stops the
# audio once as it opens, the touch once more).
sigterm_long_text() {
    local dir="$TMP/run-sigterm" why=""
    mkdir -p "$dir"
    "$DAMAGE" "$SOURCE/resources" "$dir/book" long-text String.xml bntext 200000 >/dev/null 2>&1 ||
        { echo "FAIL sigterm-long-text: cannot damage the book"; failures=$((failures + 1)); return; }
    printf 'at 0.3 down 320 290\nat 0.35 up 320 290\n' >"$dir/script.txt"
    "$LIRRA" --headless --resources "$dir/book" --script "$dir/script.txt" --log "$dir/log.txt" >"$dir/out.txt" 2>&1 &
    local pid=$! waited=0
    until [ "$(cat "$dir/log.txt" 2>/dev/null | grep -c "audio: stop")" -ge 2 ] || [ "$waited" -ge 600 ]; do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -TERM "$pid" 2>/dev/null
    # A hang guard, not a measure: a frozen reader takes minutes.
    waited=0
    while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 600 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -0 "$pid" 2>/dev/null && { why="still running 60 s after SIGTERM"; kill -KILL "$pid"; }
    local status=0
    wait "$pid" || status=$?
    [ -n "$why" ] || [ "$status" -eq 0 ] || why="exit status $status"
    grep -qE 'Sanitizer|runtime error:' "$dir/out.txt" && why="$why; sanitizer report"
    rm -rf "$dir/book"
    if [ -n "$why" ]; then
        echo "FAIL sigterm-long-text: ${why#; }"
        failures=$((failures + 1))
    else
        echo "ok sigterm-long-text"
    fi
}
[ -n "${LIRRA_BAD_ONLY:-}" ] || { extra_runs; sigterm_long_text; }

[ "$failures" -eq 0 ] || { echo "$failures damaged book(s) failed" >&2; exit 1; }
echo "PASS"
