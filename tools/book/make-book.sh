#!/usr/bin/env bash
# Makes the sample book under resources/ from tools/book/story.json:
# dictionaries, layouts, pictures (SVG art drawn with rsvg-convert, sentences
# printed by the engine's own label code), sprite sheets, interface images
# and the narration of every word (festival's slt voice, trimmed with sox,
# encoded with lame). Run it from anywhere; it builds the tool it needs.
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

for tool in rsvg-convert text2wave sox lame pngquant optipng; do
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
mkdir -p "$work/voice"
while IFS=$'\t' read -r mp3 word; do
    spoken=$(printf '%s' "$word" | tr '[:upper:]' '[:lower:]')
    cached="$work/voice/$spoken.mp3"
    if [ ! -f "$cached" ]; then
        printf '%s\n' "$spoken" | text2wave -o "$work/voice/raw.wav"
        # Silence trimmed at both ends so the highlight follows the voice (a
        # low threshold keeps the faint ends of words like "night");
        # a short fade keeps the cut ends from clicking.
        sox "$work/voice/raw.wav" -c 1 -r 22050 "$work/voice/word.wav" \
            silence 1 0.01 -60d reverse silence 1 0.01 -60d fade t 0.03 reverse \
            fade t 0.01 gain -n -1 pad 0.02 0.05
        lame --quiet --noreplaygain -m m --cbr -b 32 "$work/voice/word.wav" "$cached"
    fi
    cp "$cached" "$mp3"
done < "$work/narration.tsv"

# Smaller pictures: a palette where it looks the same, then lossless packing.
{ find "$out/$book_folder" "$out/mainpage" "$out/3age" -name '*.png' -print0; printf '%s\0' "${interface_images[@]}"; } |
    while IFS= read -r -d '' png; do
        pngquant --quality 85-100 --speed 1 --strip --force --skip-if-larger --output "$png" -- "$png" || true
        optipng -quiet -o2 -strip all "$png"
    done

echo "make-book: wrote the book to $out ($(du -sh "$out" | cut -f1))"
