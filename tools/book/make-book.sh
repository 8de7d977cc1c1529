#!/usr/bin/env bash
# Makes the sample book under resources/ from tools/book/story.json:
# dictionaries, layouts, pictures (SVG art drawn from the story's pieces,
# sentences printed by the engine's own label code), sprite sheets and
# interface images; then festival's slt voice reads each page's sentence as
# a whole, and lirra-make's own narration finds every word in it, cuts the
# word clips, levels and encodes them, and writes the page recordings and the
# read-along table.
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
# The voice reads a little slower than its own pace (hts_engine's speed, 1
# is its own), as one reads to a young child.
narration_rate=0.85

for tool in rsvg-convert festival pngquant optipng; do
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

# Narration: each page's sentence read as a whole (line breaks and all
# punctuation are the voice's to pause at), then narrated into the book.
voice=$work/voice
mkdir -p "$voice"
page=0
while sentence=$(SDL_VIDEODRIVER=dummy "$bookmaker" --sentence "$story" $((page + 1))); do
    page=$((page + 1))
    [ -n "$sentence" ] || continue
    quoted=$(printf '%s' "$sentence" | sed 's/["\\]/\\&/g')
    cat >"$voice/say.scm" <<SCHEME
(voice_cmu_us_slt_arctic_hts)
(set! hts_engine_params (append hts_engine_params (list (list "-r" $narration_rate))))
(set! utt (utt.synth (Utterance Text "$quoted")))
(utt.save.wave utt "$voice/page_$page.wav" 'riff)
SCHEME
    festival -b "$voice/say.scm"
done
SDL_VIDEODRIVER=dummy "$bookmaker" --narrate "$story" "$voice" "$out" "$work" "$root/build/pip-and-the-moon-timings.tsv"

# Smaller pictures: a palette where it looks the same, then lossless packing.
{ find "$out/$book_folder" "$out/mainpage" "$out/3age" -name '*.png' -print0; printf '%s\0' "${interface_images[@]}"; } |
    while IFS= read -r -d '' png; do
        pngquant --quality 85-100 --speed 1 --strip --force --skip-if-larger --output "$png" -- "$png" || true
        optipng -quiet -o2 -strip all "$png"
    done

echo "make-book: wrote the book to $out ($(du -sh "$out" | cut -f1))"

# The same book in one file, as it travels by mail or download, packed as the
# build packs it for the installed shelf: the folder's contents at the
# archive's root, with no times or owners that differ by machine.
packed=$root/build/pip-and-the-moon.lirra
mkdir -p "$root/build"
"$bookmaker" --pack "$out" "$packed"
echo "make-book: packed it as $packed ($(du -h "$packed" | cut -f1))"
