#!/usr/bin/env bash
# Builds the Debian package of Velmaro (velmaro_<version>_<arch>.deb) for a
# system-wide install: sudo apt-get install ./dist/velmaro_*.deb
#   bash scripts/package.sh [output folder, default dist/]
# The build tree build-package/ is kept, so a second run only relinks what
# changed; with ccache a first run reuses what the test build compiled.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$here/dist}" && cd "${1:-$here/dist}" && pwd)"
build="${VELMARO_PACKAGE_BUILD:-$here/build-package}"

bash "$here/scripts/setup-deps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The compiler flags are the test build's, -Werror included when asked for
# (so ccache serves them); the linker's make the relocations read-only, as
# Debian's own packages do.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMARO_BUILD_TESTS=OFF -DVELMARO_SYSTEM_INSTALL=ON -DCMAKE_INSTALL_PREFIX=/usr \
  -DVELMARO_WERROR="${VELMARO_WERROR:-OFF}" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" "${launcher[@]}"
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/cpack/*.deb
(cd "$build" && cpack -B "$build/cpack")
deb="$(cd "$build/cpack" && ls velmaro_*.deb)"
cp "$build/cpack/$deb" "$out/"
echo "$out/$deb"
