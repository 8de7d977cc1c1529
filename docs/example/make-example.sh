#!/usr/bin/env bash
# Builds the worked example of docs/making-a-book.md in OUT: the sample
# book's shared screens, and a one-page book whose files are the guide's
# example blocks (each follows a line "<!-- example: PATH -->").
#   docs/example/make-example.sh OUT [SAMPLE_RESOURCES]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
guide=$here/../making-a-book.md
out=$1
sample=${2:-$here/../../resources}

rm -rf "$out"
mkdir -p "$out/testLirra/tiny" "$out/testLirra/epc"
cp -r "$sample/String.xml" "$sample/Images" "$sample/mainpage" "$sample/3age" "$out/"

# Each example block of the guide becomes the file its marker names.
awk -v out="$out" '
    /^<!-- example: .* -->$/ { file = out "/" $3; next }
    file != "" && /^```/ { if (inside) { inside = 0; file = "" } else { inside = 1; printf "" > file }; next }
    inside { print >> file }
' "$guide"

cp "$sample/testLirra/pip/page_1.png" "$out/testLirra/tiny/page_1.png"
cp "$sample/testLirra/pip/words/p1w1.png" "$sample/testLirra/pip/words/p1w1_on.png" "$out/testLirra/tiny/"

name=$(printf mc011.mp3 | md5sum | cut -c1-32)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
espeak-ng -w "$work/this.wav" "this"
lame --quiet "$work/this.wav" "$out/testLirra/epc/$name.mp3"
