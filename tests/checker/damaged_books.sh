#!/usr/bin/env bash
# lirra-check on the sample book (ready) and on damaged copies of it: each
# damage is named on a line of its own with the right file, and the exit
# status tells problems (1) from an unusable book (2). Standard error stays
# empty but for the MP3 decoder's own notes on garbage narration, and its
# warning that a cut narration is shorter than its encoder's tag says.
set -euo pipefail
CHECK=$1
SOURCE=$2
TMP=$(mktemp -d /tmp/lirra-check.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
DAMAGE="$SOURCE/tests/support/damage-book.sh"
failures=0

# expect STATUS 'FIXED TEXT OF A REPORT LINE' [OP ARGS]...
expect() {
    local status=$1 line=$2
    shift 2
    "$DAMAGE" "$SOURCE/resources" "$TMP/book" "$@"
    local got=0
    "$CHECK" "$TMP/book" >"$TMP/report.txt" 2>"$TMP/stderr.txt" || got=$?
    if [ "$got" -ne "$status" ] || ! grep -qF -- "$line" "$TMP/report.txt" ||
        grep -qvE '^(Note: |Warning: Xing stream size off)' "$TMP/stderr.txt"; then
        echo "FAIL: after '$*': status $got (wanted $status), wanted a line with: $line" >&2
        cat "$TMP/report.txt" "$TMP/stderr.txt" >&2
        failures=$((failures + 1))
    fi
}

NARRATION_35="testLirra/epc/$(printf mc035.mp3 | md5sum | cut -c1-32).mp3"

expect 0 "0 error(s), 0 warning(s); the book is ready"
expect 2 "testLirra/StringConfig.xml: error: the configuration is missing" remove testLirra/StringConfig.xml
expect 2 "testLirra/StringConfig.xml: error: the configuration is missing" garbage testLirra/StringConfig.xml
expect 1 "testLirra/pip/pip_5.json: error: the layout of page 5 is missing" remove testLirra/pip/pip_5.json
expect 1 "testLirra/pip/pip_13.json: error: the layouts of pages 13 to 150 are missing" config pageMax 150
expect 1 "error: \"pageMax\" is 2000000000, beyond the 999999 pages a book can have" config pageMax 2000000000
expect 1 "error: pageMax 20000 is more than 10000 pages" config pageMax 20000
expect 1 "error: pageMin 13 is above pageMax 12" config pageMin 13
expect 1 "error: \"lirraSubName\" is empty" config lirraSubName ""
expect 1 "error: \"lirraSubName\" \"../pip\" is not a plain folder name" config lirraSubName ../pip
expect 1 "error: \"pageMax\" is \"twelve\", not a number" config pageMax twelve
expect 1 "testLirra/pip/pip_7.json: error: the layout is not a JSON object" truncate testLirra/pip/pip_7.json 100
expect 1 "testLirra/pip/pip_7.json: error: the root widget is not a Layout" \
    write testLirra/pip/pip_7.json '{"widgetTree": {"classname": "Button", "options": {}}}'
expect 1 "testLirra/pip/pip_4.json: error: the picture testLirra/pip/page_4.png does not decode" \
    garbage testLirra/pip/page_4.png
expect 1 "testLirra/pip/pip_4.json: error: the picture testLirra/pip/page_4.png is missing" \
    remove testLirra/pip/page_4.png
expect 1 "testLirra/pip/pip_3.json: error: \"pressedData\" names the sprite frame" remove testLirra/pip/words_3.plist
expect 1 "Images/next1.png: error: the picture Images/next1.png is missing" remove Images/next1.png
expect 1 "testLirra/pip/pip_3.json: error: no narration $NARRATION_35 for the hotspot bn035" remove "$NARRATION_35"
expect 1 "error: the narration $NARRATION_35 of the hotspot bn035 (page 3 word 5), sound name mc035.mp3 does not decode" \
    garbage "$NARRATION_35"
# Cut inside the third frame (frames at 64 kbit/s and 44.1 kHz are 208 or 209
# bytes; the first holds the encoder's tag, so one whole frame of sound stays).
expect 1 "error: the narration $NARRATION_35 of the hotspot bn035 (page 3 word 5), sound name mc035.mp3 is cut short: its frame 3 lacks" \
    truncate "$NARRATION_35" 520
expect 1 "testLirra/Stringstr.xml: error: no text \"str035\" for the hotspot bn035" \
    drop-key testLirra/Stringstr.xml str035
expect 1 "String.xml: error: no text for \"bntext\"" drop-key String.xml bntext
expect 1 "mainpage/mainpage_1.json: error: no widget named \"bngoon\"" \
    rename-widget mainpage/mainpage_1.json bngoon bngo
expect 1 "3age/pageset.json: error: no widget named \"bnok\"" rename-widget 3age/pageset.json bnok bnOK
expect 1 "3age/pageset.json: error: the layout is missing" remove 3age/pageset.json
# Page 10's first word moved to place 11 ("bn1011") and a page 101 with the
# same layout, where "bn1011" is word 1: both words are "str1011".
expect 1 "warning: page 10 word 11 and page 101 word 1 share the text key \"str1011\"" \
    rename-widget testLirra/pip/pip_10.json bn101 bn1011 copy testLirra/pip/pip_10.json testLirra/pip/pip_101.json \
    config pageMax 101

# Narration that clips, limits that cut, and layouts that made the checker
# abort or lose its report (an array 1001 deep, root options that are an
# array, a name with a NUL in it).
expect 1 "error: the narration $NARRATION_35 of the hotspot bn035 (page 3 word 5), sound name mc035.mp3 is not played as narration: its first 0.1 s clip" \
    loud-mp3 "$NARRATION_35"
expect 1 "error: textsize 2147483647 is beyond the largest of 500 points" config textsize 2147483647
expect 1 "testLirra/Stringstr.xml: error: the text \"str035\" of the hotspot bn035 (page 3 word 5) has 1600 bytes" \
    long-text testLirra/Stringstr.xml str035 1600
expect 1 "String.xml: error: \"bntext\" has 200000 characters; a label shows only its first 16384" \
    long-text String.xml bntext 200000
DEEP="{\"unused\": $(printf '[%.0s' $(seq 1001))$(printf ']%.0s' $(seq 1001)), "
expect 1 "testLirra/pip/pip_7.json: error: the layout is not a JSON object (Exceeded stackLimit" \
    replace testLirra/pip/pip_7.json '{' "$DEEP"
expect 0 "testLirra/pip/pip_7.json: warning: the \"options\" of a \"Panel\" widget are not a JSON object" \
    replace testLirra/pip/pip_7.json $'\n    "options" : \n    {' $'\n    "options" : [1, 2], "movedOptions" :\n    {'
# The reader loads that name as a picture, so it is checked as one.
expect 1 'the picture testLirra/pip/page_7.png\x00../../etc/passwd cannot be used: NUL byte in file name' \
    replace testLirra/pip/pip_7.json '"page_7.png"' '"page_7.png\u0000../../etc/passwd"'
grep -qF "lirra-check: $TMP/book: 1 error(s), 0 warning(s)" "$TMP/report.txt" || {
    echo "FAIL: no summary line after a name with a NUL" >&2
    failures=$((failures + 1))
}
# Files that are not plain files inside the book, or that claim far more than
# they hold: each is refused (by the same file layer the reader uses) and named.
OUTSIDE="$SOURCE/resources"
HUGE_GIF='GIF89a\x80\x3e\x80\x3e\x00\x00\x00\x2c\x00\x00\x00\x00\x80\x3e\x80\x3e\x00\x02\x02\x44\x01\x00\x3b'
HUGE_QOI='qoif\x00\x00\x3e\x80\x00\x00\x3e\x80\x04\x00\x00\x00\x00\x00\x00\x00\x00\x01'
HUGE_SVG='<svg xmlns="http://www.w3.org/2000/svg" width="16000" height="16000"><rect width="16000" height="16000"/></svg>'
expect 1 "testLirra/pip/pip_3.json: error: the narration $NARRATION_35 of the hotspot bn035 (page 3 word 5), sound name mc035.mp3 cannot be used: a FIFO, not a regular file" \
    fifo "$NARRATION_35"
expect 1 "String.xml: error: the interface texts cannot be used: a symbolic link leads outside the resource root" \
    link String.xml "$OUTSIDE/String.xml"
expect 1 "testLirra/pip/pip_4.json: error: the picture testLirra/pip/page_4.png cannot be used: a symbolic link leads outside the resource root" \
    link testLirra/pip/page_4.png "$OUTSIDE/testLirra/pip/page_4.png"
expect 1 "testLirra/pip/pip_1.json: error: the layout cannot be used: a symbolic link leads outside the resource root" \
    link testLirra/pip "$OUTSIDE/testLirra/pip"
expect 1 "testLirra/pip/pip_7.json: error: the layout cannot be used: 3221225472 bytes, beyond the limit of 64 MB for a layout" \
    truncate testLirra/pip/pip_7.json 3G
expect 1 "error: the picture testLirra/pip/page_4.png does not decode (the file is GIF, not a PNG or JPEG picture)" \
    bytes testLirra/pip/page_4.png "$HUGE_GIF"
expect 1 "error: the picture testLirra/pip/page_4.png does not decode (the file is QOI, not a PNG or JPEG picture)" \
    bytes testLirra/pip/page_4.png "$HUGE_QOI"
expect 1 "error: the picture testLirra/pip/page_4.png does not decode (the file is SVG, not a PNG or JPEG picture)" \
    write testLirra/pip/page_4.png "$HUGE_SVG"
expect 1 "error: the picture testLirra/pip/page_4.png does not decode (the JPEG is cut short" \
    jpeg testLirra/pip/page_4.png truncate testLirra/pip/page_4.png 5000
expect 1 "error: the picture testLirra/pip/page_4.png does not decode (the PNG is cut short" \
    truncate testLirra/pip/page_4.png 5000
expect 0 "testLirra/pip/pip_4.json: warning: the picture testLirra/pip/page_4.png is 2000 x 3000 pixels, more than a page needs (1280 x 1920 at most)" \
    picture testLirra/pip/page_4.png 2000x3000

if "$CHECK" "$TMP/no-such-book" >/dev/null 2>&1; then
    echo "FAIL: a missing book folder was accepted" >&2
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "all damaged books reported"
