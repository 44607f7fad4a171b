#!/bin/sh
# Writes screenshots of the main windows into screenshots/ (git-ignored).
# Usage: scripts/screenshots.sh <build folder> [output folder]
# The build folder must hold a finished build; this script builds nothing.
set -eu

build=${1:?usage: scripts/screenshots.sh <build folder> [output folder]}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-"$root/screenshots"}
tool="$build/tools/velmaro_screenshots"

if [ ! -x "$tool" ]; then
    echo "screenshots: $tool not found; build the project first" >&2
    exit 1
fi
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$out"
