#!/usr/bin/env bash
# Builds Velmaro, installs it into its own portable folder and starts it.
# The archives live beside the installed executable, never in the build tree.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="${VELMARO_HOME:-$HOME/Velmaro}"

bash "$here/scripts/setup-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMARO_BUILD_TESTS=OFF \
  -DVELMARO_BUILD_SCREENSHOTS=OFF -DVELMARO_SYSTEM_INSTALL=OFF
cmake --build "$here/build" -j"$(nproc)"
cmake --install "$here/build" --prefix "$prefix" --strip

if [ -f "$prefix/velmaro.desktop.in" ]; then
  mkdir -p "$HOME/.local/share/applications"
  bash "$here/scripts/desktop-entry.sh" "$prefix" "$prefix/velmaro.desktop.in" \
    > "$HOME/.local/share/applications/velmaro.desktop"
  # The entry is written correctly, but GLib (GNOME, most menus) refuses to
  # load one whose Exec= holds a '%' that is not a field code.
  case "$prefix" in
    *%*) echo "Warning: the folder $prefix holds '%': the desktop menu will not show the Velmaro entry." >&2
         echo "Start the program as $prefix/Velmaro, or install it elsewhere (VELMARO_HOME=...)." >&2 ;;
  esac
fi

# Nobody can log in without a password file: ask for the password the first
# time (on the terminal, or from VELMARO_PASSWORD without one); otherwise the
# tool says how to set it, and the program starts all the same.
if [ ! -f "$prefix/unins000.dll" ]; then
  "$prefix/velmaro-password" || true
fi

exec "$prefix/Velmaro"
