#!/usr/bin/env bash
# Makes the sample book under resources/ from tools/book/story.json:
# dictionaries, layouts, pictures (SVG art drawn with rsvg-convert, sentences
# printed by the engine's own label code), sprite sheets, interface images
# and the narration of every word (festival's slt voice, each word said in a
# carrier sentence and cut out of it, trimmed with sox, brought to one
# loudness with ffmpeg's EBU R128 meter, encoded with lame).
# Run it from anywhere; it builds the tool it needs.
#
#   tools/book/make-book.sh [STORY.json] [OUT_FOLDER]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
story=${1:-$here/story.json}
out=${2:-$root/resources}
build=$root/build/tools
# BOOKMAKER names an already built lirra_bookmaker to use instead.
bookmaker=${BOOKMAKER:-}
# Every word's loudness (LUFS), unless one word's peak would then pass the
# ceiling (dBFS, left for the encoder's overshoot): then all are lower.
narration_loudness=-16
narration_ceiling=-2
# Short words said alone come out blurred ("is", "big", "this"): each word is
# said inside a carrier sentence, a little slower than the voice's own pace
# (hts_engine's speed, 1 is its own), and cut out at the voice's own timing of
# the word. Words that this carrier runs into ("home" before "again", "away"
# and "way" after "say", "and") have another one. Rate and carriers were
# chosen with tools/book/listen-check.sh.
narration_rate=0.85
narration_carrier="Now say WORD again."
declare -A narration_carrier_for=([home]="Look, WORD, look." [away]="Look, WORD, look." [way]="Look, WORD, look." [and]="Look, WORD, look.")

for tool in rsvg-convert festival sox ffmpeg lame pngquant optipng zip; do
    command -v "$tool" >/dev/null || {
        echo "make-book: $tool is missing; install the book tool packages listed in README.md" >&2
        exit 1
    }
done
[ -n "$(fc-list Andika)" ] || { echo "make-book: the Andika font is missing (fonts-sil-andika)" >&2; exit 1; }

if [ -z "$bookmaker" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIRRA_TESTS=OFF >/dev/null
    cmake --build "$build" --target lirra_bookmaker >/dev/null
    bookmaker=$build/tools/lirra_bookmaker
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Only what this script makes is replaced; other files under OUT_FOLDER stay.
book_folder=$(sed -n 's/^ *"bookFolder": *"\([^"]*\)".*/\1/p' "$story")
book_folder=${book_folder:-testLirra}
interface_images=()
for image in up1 up2 play_btn pause_btn next1 next2 bnchback1 bnren1 bnren2; do
    interface_images+=("$out/Images/$image.png")
done
rm -rf "$out/$book_folder" "$out/mainpage" "$out/3age" "$out/String.xml" "${interface_images[@]}"

SDL_VIDEODRIVER=dummy "$bookmaker" "$story" "$here/art" "$out" "$work"

# Narration: one recording per distinct word, copied to every place it is read.
# First every word is spoken and trimmed, then all are brought to one
# loudness (EBU R128 integrated loudness, measured on the word played over
# and over, since a word is shorter than the measure's 400 ms blocks), then
# encoded.
voice=$work/voice
mkdir -p "$voice"
declare -A spoken_words=()
while IFS=$'\t' read -r mp3 word; do
    spoken_words[$(printf '%s' "$word" | tr '[:upper:]' '[:lower:]')]=1
done < "$work/narration.tsv"

# Loudness (LUFS) of a recording played ten times over.
loudness() {
    ffmpeg -hide_banner -nostats -stream_loop 9 -i "$1" -af ebur128 -f null - 2>&1 |
        awk '/Integrated loudness/ { found = 1 } found && $1 == "I:" { print $2; exit }'
}
# Its highest sample, dBFS.
peak() {
    sox -R "$1" -n stats 2>&1 | awk '$1 == "Pk" && $2 == "lev" { print $4 }'
}

# speak WORD OUT.wav: WORD said in its carrier sentence and cut out of it.
speak() {
    local word=$1 out=$2 carrier=${narration_carrier_for[$1]:-$narration_carrier}
    local text=${carrier/WORD/$word} place before=${carrier%%WORD*}
    # The word's place among the sentence's words, as festival counts them.
    place=$(($(printf '%s' "$before" | wc -w) + 1))
    # The voice is named: festival's default is whichever voice package came
    # first.
    cat > "$voice/say.scm" <<SCHEME
(voice_cmu_us_slt_arctic_hts)
(set! hts_engine_params (append hts_engine_params (list (list "-r" $narration_rate))))
(set! utt (utt.synth (Utterance Text "$text")))
(utt.save.wave utt "$voice/carrier.wav" 'riff)
(mapcar (lambda (w) (format t "%s %f %f\n" (item.name w) (item.feat w "word_start") (item.feat w "word_end")))
        (utt.relation.items utt 'Word))
SCHEME
    local said start end
    read -r said start end < <(festival -b "$voice/say.scm" | sed -n "${place}p")
    if [ "$(printf '%s' "$said" | tr '[:upper:]' '[:lower:]')" != "$word" ]; then
        echo "make-book: festival's word $place of \"$text\" is \"$said\", not \"$word\"" >&2
        exit 1
    fi
    sox -R "$voice/carrier.wav" "$out" trim "$start" ="$end"
}

target=$narration_loudness
for spoken in "${!spoken_words[@]}"; do
    speak "$spoken" "$voice/raw.wav"
    # Silence trimmed at both ends so that the voice starts as the file does
    # and the highlight follows it: at the start, where the word rises 48 dB
    # under its loudest; at the end, low enough to keep the faint ends of
    # words like "night". Short fades keep the cut ends from clicking.
    sox -R "$voice/raw.wav" -c 1 -r 44100 "$voice/$spoken.wav" \
        gain -n -3 silence 1 0.002 -48d reverse silence 1 0.01 -60d fade t 0.03 reverse fade t 0.004 pad 0 0.05
    level=$(loudness "$voice/$spoken.wav")
    top=$(peak "$voice/$spoken.wav")
    printf '%s\t%s\t%s\n' "$spoken" "$level" "$top" >> "$voice/levels.tsv"
    # The common loudness is lowered where a word would otherwise pass the
    # ceiling.
    target=$(awk -v t="$target" -v l="$level" -v p="$top" -v c="$narration_ceiling" \
        'BEGIN { m = c - (p - l); print (m < t ? m : t) }')
done
while IFS=$'\t' read -r spoken level top; do
    sox -R "$voice/$spoken.wav" "$voice/level.wav" gain "$(awk -v t="$target" -v l="$level" 'BEGIN { print t - l }')"
    lame --quiet --noreplaygain -m m --cbr -b 64 "$voice/level.wav" "$voice/$spoken.mp3"
done < "$voice/levels.tsv"
while IFS=$'\t' read -r mp3 word; do
    cp "$voice/$(printf '%s' "$word" | tr '[:upper:]' '[:lower:]').mp3" "$mp3"
done < "$work/narration.tsv"
echo "make-book: narration at $target LUFS"

# Smaller pictures: a palette where it looks the same, then lossless packing.
{ find "$out/$book_folder" "$out/mainpage" "$out/3age" -name '*.png' -print0; printf '%s\0' "${interface_images[@]}"; } |
    while IFS= read -r -d '' png; do
        pngquant --quality 85-100 --speed 1 --strip --force --skip-if-larger --output "$png" -- "$png" || true
        optipng -quiet -o2 -strip all "$png"
    done

echo "make-book: wrote the book to $out ($(du -sh "$out" | cut -f1))"

# The same book in one file, as it travels by mail or download: the folder's
# contents at the archive's root (-X: no owners or times that differ by machine).
packed=$root/build/pip-and-the-moon.lirra
mkdir -p "$root/build"
rm -f "$packed"
(cd "$out" && zip -qrX "$packed" .)
echo "make-book: packed it as $packed ($(du -h "$packed" | cut -f1))"
