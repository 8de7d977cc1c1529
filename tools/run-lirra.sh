#!/usr/bin/env bash
# Starts the book, or says plainly why it cannot open a window here.
set -u
binary=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY is not set), so Lirra cannot open its window here."
    echo "Run it in a virtual X server instead:  xvfb-run -a make run"
    echo "or without any window:                 $binary --headless --frames 120"
    exit 1
fi
exec "$binary"
