#!/usr/bin/env bash
# Writes the menu entry for an installed copy: the template with the install
# folder in place of @VELMARO_DIR@, to standard output.
# Usage: desktop-entry.sh INSTALL_FOLDER TEMPLATE
set -euo pipefail
dir="$1"
template="$2"

# Path= and Icon= are plain strings: only a backslash is escaped there.
plain="${dir//\\/\\\\}"
# Exec= is a quoted argument: '"', '`', '$' and '\' take a backslash inside
# the quotes, '%' is doubled (field codes), and then the backslashes are
# escaped once more as in any string value.
exec_dir="$(printf '%s' "$dir" | sed 's/[\\"`$]/\\&/g')"
exec_dir="${exec_dir//%/%%}"
exec_dir="${exec_dir//\\/\\\\}"

# Both go into a sed replacement.
sed_escape() { printf '%s' "$1" | sed 's/[&|\\]/\\&/g'; }
sed -e "/^Exec=/s|@VELMARO_DIR@|$(sed_escape "$exec_dir")|g" \
    -e "s|@VELMARO_DIR@|$(sed_escape "$plain")|g" "$template"
