#!/bin/sh
# Writes screenshots of the main windows into screenshots/ (git-ignored).
# Usage: scripts/screenshots.sh <build folder> [output folder]
# The build folder must hold a configured build (for example build-tests);
# this script turns the screenshot tool on there and builds just that.
set -eu

build=${1:?usage: scripts/screenshots.sh <build folder> [output folder]}
root=$(cd "$(dirname "$0")/.." && pwd)
out=${2:-"$root/screenshots"}
tool="$build/tools/velmaro_screenshots"

if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "screenshots: $build holds no build; build the project first" >&2
    exit 1
fi
cmake "$build" -DVELMARO_BUILD_SCREENSHOTS=ON >/dev/null
cmake --build "$build" --target velmaro_screenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$out"
