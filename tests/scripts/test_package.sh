#!/usr/bin/env bash
# Builds the Debian package and checks it as installed: unpacked into a
# scratch root with dpkg -x, its file list, control fields, menu entry and
# AppStream metadata, stripped programs, and the installed programs started
# without a display. Run by CI after the test suite (whose ccache it reuses).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

bash "$here/scripts/package.sh" "$scratch/dist"
deb="$(ls "$scratch"/dist/velmaro_*.deb)"
root="$scratch/root"
dpkg -x "$deb" "$root"

id=example.velmaro.Velmaro
expected="$(cat <<EOF
./usr/bin/velmaro
./usr/bin/velmaro-password
./usr/share/applications/$id.desktop
./usr/share/doc/velmaro/Guida.pdf
./usr/share/doc/velmaro/changelog.gz
./usr/share/doc/velmaro/copyright
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/man/man1/velmaro-password.1.gz
./usr/share/man/man1/velmaro.1.gz
./usr/share/metainfo/$id.metainfo.xml
EOF
)"
actual="$(cd "$root" && find . -type f | LC_ALL=C sort)"
[ "$actual" = "$expected" ] || { bad "file list"; diff <(echo "$expected") <(echo "$actual") || true; }
for f in usr/bin/velmaro usr/bin/velmaro-password; do
  [ -x "$root/$f" ] || bad "$f is not executable"
  if readelf -S "$root/$f" | grep -q '\.debug_info'; then bad "$f is not stripped"; fi
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmaro ] || bad "Package: $(field Package)"
version="$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
[ "$(field Version)" = "$version" ] || bad "Version: $(field Version), project $version"
# The libraries come from dpkg-shlibdeps; xdg-utils opens files and links.
for dep in xdg-utils libqt6widgets6 libqt6printsupport6 libsqlite3-0 libgmime-3.0-0 libcups2 libxlsxwriter4 libzip4; do
  field Depends | grep -q "\b$dep\b" || bad "Depends lacks $dep: $(field Depends)"
done
for rec in qt6-gtk-platformtheme qt6-xdgdesktopportal-platformtheme qt6-wayland; do
  field Recommends | grep -q "\b$rec\b" || bad "Recommends lacks $rec: $(field Recommends)"
done
# The newest release in the metadata and the changelog are this version.
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" \
  || bad "metainfo has no release $version"
zcat "$root/usr/share/doc/velmaro/changelog.gz" | head -n 1 | grep -q "^velmaro ($version)" \
  || bad "changelog does not start with $version"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || bad "desktop-file-validate"
grep -qx 'Exec=velmaro' "$root/usr/share/applications/$id.desktop" || bad "Exec= is not velmaro"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || bad "Icon= is not $id"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || bad "appstreamcli validate"

# Started as installed, without a display.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C.UTF-8 HOME="$scratch/home" "$@"; }
out="$(run "$root/usr/bin/velmaro" --version)" || bad "velmaro --version exits $?"
[ "$out" = "Velmaro $version" ] || bad "velmaro --version printed [$out]"
run "$root/usr/bin/velmaro" --help | grep -q -- '--dati <cartella>' || bad "velmaro --help"
out="$(run "$root/usr/bin/velmaro-password" --version)" || bad "velmaro-password --version exits $?"
[ "$out" = "velmaro-password $version" ] || bad "velmaro-password --version printed [$out]"
# As for every user of a system install, the programs' folder is read-only:
# the password goes to the user's own folder and nothing into the package's.
chmod -R a-w "$root/usr"
VELMARO_PASSWORD=prova run "$root/usr/bin/velmaro-password" 2>/dev/null || bad "velmaro-password exits $?"
[ -f "$scratch/home/.local/share/Velmaro/unins000.dll" ] || bad "no password in the user's folder"
[ "$(cd "$root" && find . -type f | LC_ALL=C sort)" = "$expected" ] || bad "files written into the install"

if [ "$fail" = 0 ]; then echo "package: all checks passed ($(basename "$deb"))"; fi
exit $fail
