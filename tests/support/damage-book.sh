#!/usr/bin/env bash
# Makes a damaged copy of a book for tests: damage-book.sh SOURCE DEST [OP ARGS]...
# Each operation applies to DEST, in order; paths are relative to the book root.
#   remove PATH                  delete a file or folder
#   garbage PATH                 replace a file's bytes with text that is no known format
#   truncate PATH BYTES          keep only the first BYTES bytes (more makes a sparse tail of zeros)
#   write PATH TEXT              replace a file with TEXT
#   config KEY VALUE             set a configuration value in testLirra/StringConfig.xml
#   drop-key PATH KEY            remove a <key>KEY</key> and its value from a dictionary
#   rename-widget PATH OLD NEW   rename the widget "OLD" of a layout to "NEW"
#   copy PATH NEWPATH            copy a file inside the book
#   replace PATH OLD NEW         replace the first OLD in a file by NEW (fixed texts)
#   long-text PATH KEY COUNT     set a dictionary's KEY to COUNT letters
#   wav PATH                     replace a file with a spoken WAV (espeak-ng)
#   loud-mp3 PATH                replace a file with an MP3 of a full-scale square wave (lame)
#   fifo PATH                    replace a file with a FIFO that nothing writes to
#   link PATH TARGET             replace a file or folder with a symbolic link to TARGET
#   bytes PATH FORMAT            replace a file with printf's output for FORMAT (\xHH escapes)
#   jpeg PATH                    save a picture again as JPEG under the same name (ImageMagick)
#   picture PATH WxH             replace a picture with a white PNG of W x H pixels (ImageMagick)
set -euo pipefail

die() {
    echo "damage-book.sh: $*" >&2
    exit 2
}

[ $# -ge 2 ] || die "usage: damage-book.sh SOURCE DEST [OP ARGS]..."
src=$1 dest=$2
shift 2
[ -d "$src" ] || die "no book at $src"
rm -rf "$dest"
mkdir -p "$(dirname "$dest")"
cp -rL "$src" "$dest"

need() { [ -e "$dest/$1" ] || die "$1 is not in the book"; }

while [ $# -gt 0 ]; do
    op=$1
    shift
    case $op in
    remove) need "$1"; rm -rf "${dest:?}/$1"; shift ;;
    garbage) need "$1"; printf 'this is not the file you are looking for\n' >"$dest/$1"; shift ;;
    truncate) need "$1"; truncate -s "$2" "$dest/$1"; shift 2 ;;
    write) printf '%s' "$2" >"$dest/$1"; shift 2 ;;
    config)
        f="$dest/testLirra/StringConfig.xml"
        grep -q "<key>$1</key>" "$f" || die "no key $1 in the configuration"
        sed -i "/<key>$1<\/key>/{n;s|<string>[^<]*</string>|<string>$2</string>|}" "$f"
        shift 2 ;;
    drop-key)
        need "$1"
        grep -q "<key>$2</key>" "$dest/$1" || die "no key $2 in $1"
        sed -i "/<key>$2<\/key>/{N;d}" "$dest/$1"
        shift 2 ;;
    rename-widget)
        need "$1"
        grep -q "\"name\" : \"$2\"" "$dest/$1" || die "no widget $2 in $1"
        sed -i "s/\"name\" : \"$2\"/\"name\" : \"$3\"/" "$dest/$1"
        shift 3 ;;
    copy) need "$1"; cp "$dest/$1" "$dest/$2"; shift 2 ;;
    replace)
        need "$1"
        grep -qF -- "$2" "$dest/$1" || die "no '$2' in $1"
        OLD=$2 NEW=$3 perl -0pi -e 's/\Q$ENV{OLD}\E/$ENV{NEW}/' "$dest/$1"
        shift 3 ;;
    long-text)
        need "$1"
        grep -q "<key>$2</key>" "$dest/$1" || die "no key $2 in $1"
        KEY=$2 COUNT=$3 perl -0pi -e \
            's/(<key>\Q$ENV{KEY}\E<\/key>\s*<string>)[^<]*(<\/string>)/$1 . ("a" x $ENV{COUNT}) . $2/e' "$dest/$1"
        shift 3 ;;
    wav) need "$1"; espeak-ng -w "$dest/$1" "hello" || die "espeak-ng failed"; shift ;;
    loud-mp3)
        need "$1"
        # Half a second of 200 Hz at full scale, 22050 Hz mono 16-bit.
        perl -e 'my $n = 11025; print "RIFF", pack("V", 36 + 2 * $n), "WAVEfmt ", pack("VvvVVvv", 16, 1, 1, 22050, 44100, 2, 16),
            "data", pack("V", 2 * $n), map { pack("s<", int($_ / 55) % 2 ? -32767 : 32767) } 0 .. $n - 1' >"$dest/$1.wav"
        lame --quiet "$dest/$1.wav" "$dest/$1" || die "lame failed"
        rm -f "$dest/$1.wav"
        shift ;;
    fifo) need "$1"; rm -f "$dest/$1"; mkfifo "$dest/$1"; shift ;;
    link) need "$1"; rm -rf "${dest:?}/$1"; ln -s "$2" "$dest/$1"; shift 2 ;;
    # shellcheck disable=SC2059 # the format is the point
    bytes) printf "$2" >"$dest/$1"; shift 2 ;;
    jpeg) need "$1"; convert "$dest/$1" "jpeg:$dest/$1.jpeg" && mv "$dest/$1.jpeg" "$dest/$1"; shift ;;
    picture) need "$1"; convert -size "$2" xc:white "png:$dest/$1"; shift 2 ;;
    *) die "unknown operation '$op'" ;;
    esac
done
