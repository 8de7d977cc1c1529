#!/usr/bin/env bash
# How well a machine tells the narrated words apart: each narration of the
# book is given to a speech recogniser (pocketsphinx, US English model) that
# may only answer with one of the book's words, and the table shows, word by
# word, how many of its files it heard as that word and what it heard
# instead. A measure for choosing how the narration is made; not a test.
#
#   tools/book/listen-check.sh [BOOK_FOLDER]
#
# BOOK_FOLDER is a book folder (default resources/testLirra, with
# Stringstr.xml and epc/), or a folder of recordings named WORD.mp3 or
# WORD.wav.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
folder=${1:-$here/../../resources/testLirra}
model=/usr/share/pocketsphinx/model/en-us
for tool in pocketsphinx_continuous ffmpeg sox md5sum; do
    command -v "$tool" >/dev/null || {
        echo "listen-check: $tool is missing (packages pocketsphinx, pocketsphinx-en-us, ffmpeg, sox)" >&2
        exit 1
    }
done
[ -d "$model/en-us" ] || { echo "listen-check: no US English model in $model (pocketsphinx-en-us)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One line per recording: its file and the word it says.
if [ -f "$folder/Stringstr.xml" ]; then
    # Text keys strPPW name the sound mcPPW.mp3, kept as epc/<md5 of the name>.mp3.
    sed -n 's/.*<key>str\([0-9]*\)<\/key>.*/\1/p; s/.*<string>\(.*\)<\/string>.*/\1/p' "$folder/Stringstr.xml" |
        paste - - | while IFS=$'\t' read -r number word; do
            file=$(printf 'mc%s.mp3' "$number" | md5sum | cut -d' ' -f1)
            printf '%s\t%s\n' "$folder/epc/$file.mp3" "$word"
        done > "$work/list.tsv"
else
    for file in "$folder"/*.mp3 "$folder"/*.wav; do
        [ -f "$file" ] || continue
        name=$(basename "$file")
        printf '%s\t%s\n' "$file" "${name%.*}"
    done > "$work/list.tsv"
fi
[ -s "$work/list.tsv" ] || { echo "listen-check: no recordings in $folder" >&2; exit 1; }

# The recogniser may answer only with the book's words.
cut -f2 "$work/list.tsv" | tr '[:upper:]' '[:lower:]' | sort -u > "$work/words.txt"
{
    echo '#JSGF V1.0;'
    echo 'grammar words;'
    echo "public <word> = $(paste -sd'|' "$work/words.txt" | sed 's/|/ | /g') ;"
} > "$work/words.jsgf"

while IFS=$'\t' read -r file word; do
    # 16 kHz, one channel, at one peak level (the recogniser's running
    # normalisation starts from a typical level), with a little silence
    # around the word so that its voice detection hears all of it.
    ffmpeg -nostdin -v error -y -i "$file" -ac 1 "$work/decoded.wav"
    sox -R "$work/decoded.wav" -r 16000 "$work/word.wav" gain -n -3 pad 0.3 0.3
    heard=$(pocketsphinx_continuous -infile "$work/word.wav" -jsgf "$work/words.jsgf" -hmm "$model/en-us" \
        -dict "$model/cmudict-en-us.dict" -logfn /dev/null </dev/null 2>/dev/null | tr -d '\r' | tr '\n' ' ' | sed 's/ *$//')
    printf '%s\t%s\n' "$(printf '%s' "$word" | tr '[:upper:]' '[:lower:]')" "${heard:--}"
done < "$work/list.tsv" > "$work/heard.tsv"

awk -F'\t' '
    { files[$1]++; if ($2 == $1) right[$1]++; else wrong[$1] = wrong[$1] " " $2 }
    END {
        printf "%-8s %5s %5s  %s\n", "word", "files", "heard", "heard instead"
        for (w in files) {
            printf "%-8s %5d %5d  %s\n", w, files[w], right[w], wrong[w] | "sort"
            total += files[w]; ok += right[w]
            if (right[w] == 0) missed = missed " " w
        }
        close("sort")
        printf "recognised: %d of %d files (%.0f %%); words missed in every file:%s\n", ok, total,
               100 * ok / total, missed == "" ? " none" : missed
    }' "$work/heard.tsv"
