#!/usr/bin/env bash
# The menu entry written for an install folder whose name holds characters
# special to desktop entries, sed and the shell.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
fail=0

check() { # folder, expected Exec=, Path=, Icon= lines
  local out
  out="$(bash "$here/scripts/desktop-entry.sh" "$1" "$here/packaging/velmaro.desktop.in")"
  for want in "$2" "$3" "$4"; do
    if ! grep -qxF -- "$want" <<<"$out"; then
      echo "FAIL for folder [$1]: missing line [$want]"; grep -E '^(Exec|Path|Icon)=' <<<"$out"; fail=1
    fi
  done
  if grep -q '@VELMARO_DIR@' <<<"$out"; then echo "FAIL: placeholder left for [$1]"; fail=1; fi
  local file
  file="$(mktemp --suffix=.desktop)"
  printf '%s\n' "$out" > "$file"
  desktop-file-validate "$file" || { echo "FAIL: desktop-file-validate for [$1]"; fail=1; }
  rm -f "$file"
}

check '/home/anna/Sconto 50%/Velmaro' \
  'Exec="/home/anna/Sconto 50%%/Velmaro/Velmaro"' \
  'Path=/home/anna/Sconto 50%/Velmaro' \
  'Icon=/home/anna/Sconto 50%/Velmaro/velmaro.png'
check '/srv/a&b|c/"q" $v `x` \w' \
  'Exec="/srv/a&b|c/\\"q\\" \\$v \\`x\\` \\\\w/Velmaro"' \
  'Path=/srv/a&b|c/"q" $v `x` \\w' \
  'Icon=/srv/a&b|c/"q" $v `x` \\w/velmaro.png'
exit $fail
