#!/usr/bin/env bash
# How well lirra-make finds words in recordings whose word times are known:
# festival says each sentence and prints where each of its words starts and
# ends; lirra-make aligns the same recordings. Prints the boundary errors
# (median, share within 50 ms, worst) over every start and end, per voice and
# together, and the making time against the recordings' length. A measure,
# not a test.
#   tools/make/measure-alignment.sh LIRRA_MAKE
set -euo pipefail
MAKE=$1
TMP=$(mktemp -d /tmp/lirra-align.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
sentences=(
    "Zuri has a red kite."
    "The wind takes it up, up, up over the old green hill!"
    "Tomasz and his sister Wiremu run down to the river."
    "A little brown mouse sat on a big yellow cheese."
    "Every night the moon looks in at my window."
    "Can you see the fish that swims under the boat?"
    "Grandma bakes bread with honey and seeds."
    "The bus is late, so we sing a song while we wait."
)
convert -size 800x600 xc:skyblue "$TMP/picture.png"
for voice in cmu_us_slt_arctic_hts kal_diphone; do
    src=$TMP/$voice
    mkdir -p "$src"
    echo "title: Alignment" >"$src/book.txt"
    : >"$TMP/$voice.truth"
    page=0
    for sentence in "${sentences[@]}"; do
        page=$((page + 1))
        cp "$TMP/picture.png" "$src/p$page.png"
        cat >"$TMP/say.scm" <<SCHEME
(voice_$voice)
(set! utt (utt.synth (Utterance Text "$sentence")))
(utt.save.wave utt "$TMP/raw.wav" 'riff)
(mapcar (lambda (w) (format t "%f %f\n" (item.feat w "word_start") (item.feat w "word_end")))
        (utt.relation.items utt 'Word))
SCHEME
        # Half a second of lead-in, as people record; festival's times move with it.
        festival -b "$TMP/say.scm" | awk -v p="$page" '{ printf "%d\t%d\t%.3f\t%.3f\n", p, NR, $1 + 0.5, $2 + 0.5 }' >>"$TMP/$voice.truth"
        sox "$TMP/raw.wav" "$src/p$page.wav" pad 0.5 0.5
        printf '\npage: p%d.png p%d.wav\n%s\n' "$page" "$page" "$sentence" >>"$src/book.txt"
    done
    start=$(date +%s.%N)
    "$MAKE" "$src" -o "$TMP/$voice.lirra" --timings "$TMP/$voice.tsv" >/dev/null 2>&1
    end=$(date +%s.%N)
    length=$(for f in "$src"/*.wav; do soxi -D "$f"; done | awk '{ s += $1 } END { print s }')
    echo "$voice: made in $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }') s for ${length} s of recordings"
    paste "$TMP/$voice.truth" <(cut -f4,5 "$TMP/$voice.tsv") |
        awk -F'\t' '{ d = $5 - $3; print (d < 0 ? -d : d); d = $6 - $4; print (d < 0 ? -d : d) }' >"$TMP/$voice.err"
done
report() {
    sort -g "$@" | awk '{ e[NR] = $1; if ($1 <= 0.05) w++ } END {
        printf "  %d boundaries of %d words: median %.0f ms, %.0f%% within 50 ms, worst %.0f ms\n",
            NR, NR / 2, 1000 * e[int((NR + 1) / 2)], 100 * w / NR, 1000 * e[NR] }'
}
for voice in cmu_us_slt_arctic_hts kal_diphone; do
    echo "$voice:"
    report "$TMP/$voice.err"
done
echo "both voices:"
report "$TMP"/*.err
