#!/usr/bin/env bash
# Builds Velmaro with its tests and runs the whole suite headless.
#   bash scripts/test.sh             optimised build in build-tests/
#   bash scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer
#                                    build in build-sanitize/
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
if [ "$sanitize" = 1 ]; then
  build="${VELMARO_SANITIZE_BUILD:-$here/build-sanitize}"
  flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined -O1 -g1"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMARO_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_init_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
else
  build="${VELMARO_TEST_BUILD:-$here/build-tests}"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMARO_BUILD_TESTS=ON
fi
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
