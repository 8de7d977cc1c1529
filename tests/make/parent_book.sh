#!/usr/bin/env bash
# A parent's three-page book made with one command: pictures of three shapes
# and sizes, recordings at three rates (one stereo, one FLAC) with lead-in
# and trailing silence, said by two festival voices. The book checks clean,
# and the reader reads every word of it (the keyboard's ring moves word by
# word, Return reads). Then each problem a parent can meet is named, and
# nothing is written.
#   parent_book.sh LIRRA_MAKE LIRRA_CHECK LIRRA
set -euo pipefail
MAKE=$1
CHECK=$2
LIRRA=$3
TMP=$(mktemp -d /tmp/lirra-make.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -f "$TMP/out.txt" ] && cat "$TMP/out.txt" >&2
    exit 1
}

SRC=$TMP/source
mkdir -p "$SRC"
convert -size 1200x900 gradient:skyblue-white -fill red -draw "polygon 600,150 700,300 600,450 500,300" "$SRC/kite1.jpg"
convert -size 900x900 gradient:lightblue-green -fill red -draw "circle 450,300 520,300" "$SRC/kite2.png"
convert -size 600x1000 gradient:navy-black -fill yellow -draw "circle 300,300 380,300" "$SRC/kite3.png"
# say TEXT VOICE OUT RATE CHANNELS
say() {
    printf '%s\n' "$1" >"$TMP/say.txt"
    text2wave -eval "($2)" -o "$TMP/raw.wav" "$TMP/say.txt" 2>/dev/null
    sox "$TMP/raw.wav" -r "$4" -c "$5" "$3" pad 0.6 0.8
}
say "Zuri has a red kite." voice_cmu_us_slt_arctic_hts "$SRC/kite1.wav" 48000 2
say "The wind takes it up, up, up over the old green hill!" voice_kal_diphone "$SRC/kite2.wav" 22050 1
say "Good night, Tomasz." voice_cmu_us_slt_arctic_hts "$SRC/kite3.flac" 44100 1
cat >"$SRC/book.txt" <<'TEXT'
title: The Red Kite
author: Ama

page: kite1.jpg kite1.wav
Zuri has a red kite.

page: kite2.png kite2.wav
The wind takes it up, up, up
over the old green hill!

page: kite3.png kite3.flac
Good night, Tomasz.
TEXT

"$MAKE" "$SRC" -o "$TMP/kite.lirra" --timings "$TMP/kite.tsv" >"$TMP/out.txt" 2>&1 || fail "lirra-make failed"
[ -f "$TMP/kite.lirra" ] || fail "no book written"
[ "$(wc -l <"$TMP/kite.tsv")" = 20 ] || fail "the timings do not list the 20 words"
# Each word's times rise and lie within its page's recording.
awk -F'\t' '$4 >= $5 || $4 < prev[$1] || $5 > 6 { bad = 1 } { prev[$1] = $5 } END { exit bad }' "$TMP/kite.tsv" ||
    fail "word times out of order: $(cat "$TMP/kite.tsv")"
"$CHECK" "$TMP/kite.lirra" >"$TMP/out.txt" 2>&1 || fail "the made book does not check"
grep -q "0 error(s), 0 warning(s); the book is ready" "$TMP/out.txt" || fail "the made book has warnings"

# Every word read in the reader: word learning opens page 1; on each page the
# ring visits the words in order and Return reads each; Right turns the page.
{
    echo "at 0.3 down 320 290"
    echo "at 0.35 up 320 290"
    t=2
    for words in 5 12 3; do
        for ((i = 0; i < words; i++)); do
            # A page turned by keys starts with the ring on its first word.
            [ "$i" = 0 ] && [ "$words" != 5 ] || echo "at $t key Tab"
            echo "at $t.5 key Return"
            t=$((t + 2))
        done
        echo "at $t key Right"
        t=$((t + 3))
    done
    echo "at $t quit"
} >"$TMP/script.txt"
"$LIRRA" --resources "$TMP/kite.lirra" --headless --script "$TMP/script.txt" --log "$TMP/lirra.log" >/dev/null 2>&1 ||
    fail "the reader ended with an error"
expected=""
for page_words in "1 5" "2 12" "3 3"; do
    set -- $page_words
    for ((i = 1; i <= $2; i++)); do
        tag=$(($i < 10 ? $1 * 10 + $i : $1 * 100 + $i))
        expected+="testLirra/epc/$(printf "mc0$tag.mp3" | md5sum | cut -c1-32).mp3"$'\n'
    done
done
played=$(sed -n 's/^audio: play //p' "$TMP/lirra.log")
[ "$played" = "${expected%$'\n'}" ] || fail "the reader did not read the 20 words in order: $played"

# --folder writes the unpacked book.
"$MAKE" "$SRC" --folder "$TMP/folder" >/dev/null 2>&1 || fail "--folder failed"
[ -f "$TMP/folder/testLirra/StringConfig.xml" ] || fail "--folder wrote no book"
# The book carries its print font (Andika), so the bubble's words match the print.
cmp -s "$TMP/folder/fonts/print.ttf" "$(fc-match -f '%{file}' Andika)" || fail "the book does not carry its print font"

# refused SOURCE_EDIT EXPECTED: the change breaks the book; lirra-make names
# the problem, exits non-zero and writes nothing.
refused() {
    rm -rf "$TMP/bad" && cp -r "$SRC" "$TMP/bad"
    (cd "$TMP/bad" && eval "$1")
    if "$MAKE" "$TMP/bad" -o "$TMP/bad.lirra" >"$TMP/out.txt" 2>&1; then fail "made a book after: $1"; fi
    grep -qF -- "$2" "$TMP/out.txt" || fail "after \"$1\" the maker did not say \"$2\""
    [ ! -e "$TMP/bad.lirra" ] && [ ! -e "$TMP/bad.lirra.partial" ] || fail "a book was written after: $1"
}
refused "cp kite2.wav kite1.wav" "page 1 (book.txt line 4), kite1.wav: the recording does not say the page's text"
refused "sox kite3.flac kite3.wav trim 0 1.0 && sed -i 's/kite3.flac/kite3.wav/' book.txt" \
    "page 3 (book.txt line 11), kite3.wav: the recording does not say the page's text"
refused "sed -i 's/^Good night, Tomasz./Good night, Tomasz and Ama./' book.txt" "page 3"
refused "rm kite2.png" "book.txt line 7: the picture kite2.png is missing"
refused "echo 'not a picture' > kite2.png" "page 2 (book.txt line 7), kite2.png: cannot be read as a picture"
refused "echo 'not audio' > kite1.wav" "page 1 (book.txt line 4), kite1.wav: cannot be read as a recording"
refused "rm kite3.flac && mkfifo kite3.flac" "book.txt line 11: the recording kite3.flac is not a plain file"
refused "printf 'page: kite1.jpg\n%s\n' \"\$(printf 'Extraordinarily %.0s' \$(seq 20))\" >> book.txt" \
    "the text is too long for the page"
refused "sed -i '/^title:/d' book.txt" "the book needs a \"title:\" line"
# A page without a recording is read by festival.
cp -r "$SRC" "$TMP/spoken"
sed -i 's/^page: kite3.png kite3.flac/page: kite3.png/' "$TMP/spoken/book.txt"
"$MAKE" "$TMP/spoken" -o "$TMP/spoken.lirra" >"$TMP/out.txt" 2>&1 || fail "a page without a recording was not spoken"
echo "a parent's book is made, checks clean and reads every word; broken sources are named"
