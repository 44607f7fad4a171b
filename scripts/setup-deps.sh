#!/usr/bin/env bash
# Installs the Debian 12 packages Velmaro needs to build, test and run.
# Does nothing when they are all present already.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev libgmime-3.0-dev libsimpleini-dev libxlsxwriter-dev libzip-dev nettle-dev libcups2-dev
  libcurl4-openssl-dev libssl-dev qtkeychain-qt6-dev
  qt6-translations-l10n fonts-liberation2 fonts-dejavu-core xdg-utils xvfb xauth
  # GNOME-like desktops' file dialogs; the Debian package's checks
  qt6-gtk-platformtheme appstream desktop-file-utils
  # the manual test reads the built PDF back
  poppler-utils
  # The mail tests' SMTP server and the certificates made for it.
  python3-aiosmtpd openssl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root, and sudo is not installed. As root, run:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    echo "or run this script as root (su -c 'bash $0')." >&2
    exit 1
  fi
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
