#!/usr/bin/env bash
# Builds Velmaro with its tests and runs the whole suite headless.
#   bash scripts/test.sh             optimised build in build-tests/
#   bash scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer
#                                    build in build-sanitize/
# VELMARO_WERROR=ON makes every warning in the project's own code an error
# (CI sets it).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

sanitize=0
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=1 ;;
    *) echo "usage: bash scripts/test.sh [--sanitize]" >&2; exit 2 ;;
  esac
done

bash "$here/scripts/setup-deps.sh"
export QT_QPA_PLATFORM=offscreen
options=(-DVELMARO_WERROR="${VELMARO_WERROR:-OFF}")
# Rebuilds (and a second checkout of the same sources) reuse what was
# already compiled.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ "$sanitize" = 1 ]; then
  build="${VELMARO_SANITIZE_BUILD:-$here/build-sanitize}"
  # Unoptimised and with line tables only: the suite is small, the build is
  # what takes time.
  flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined -O0 -g1"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMARO_BUILD_TESTS=ON "${options[@]}" \
    -DCMAKE_CXX_FLAGS_DEBUG="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_init_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  build="${VELMARO_TEST_BUILD:-$here/build-tests}"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMARO_BUILD_TESTS=ON "${options[@]}"
fi
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
