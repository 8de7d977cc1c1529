#!/usr/bin/env bash
# Starts the book. Where no display answers, the program itself says how to
# run it instead and exits with status 1.
set -u
exec "$1"
