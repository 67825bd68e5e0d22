#!/usr/bin/env bash
# Installs the build folder $1 into a temporary prefix, validates the desktop
# entry and icon named by the id $2, and starts the installed program $3 (from
# outside the build tree, with a home of its own) as far as the start dialog:
# it must find its files below the prefix, list the four languages, show the
# licence text and carry its icon.
set -euo pipefail
build=$1 id=$2 program=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

entry=$prefix/share/applications/$id.desktop
[ -f "$entry" ] || fail "no desktop entry $entry"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx "Icon=$id" "$entry" || fail "entry does not name the icon $id"
grep -qx "Exec=$program" "$entry" || fail "entry does not start $program"
grep -qx "Categories=Network;FileTransfer;" "$entry" || fail "entry's categories"
grep -q '^Comment=.' "$entry" || fail "no English comment"
grep -q '^Comment\[de\]=.' "$entry" || fail "no German comment"
icon=$prefix/share/icons/hicolor/scalable/apps/$id.svg
grep -q '<svg' "$icon" || fail "no icon $icon"

mkdir -p "$prefix/home"
out=$(cd "$prefix/home" && env -u QFTP_PROGRAM_DIR HOME="$prefix/home" \
  XDG_CONFIG_HOME="$prefix/home/.config" XDG_CACHE_HOME="$prefix/home/.cache" \
  XDG_RUNTIME_DIR="$prefix/home" "$prefix/bin/$program" --check-start-dialog 2>/dev/null) ||
  fail "the installed program did not start"
echo "$out"
expected="folder: $prefix/share/$program
language: English
language: Français
language: Deutsch
language: Español"
[ "$(echo "$out" | head -n 5)" = "$expected" ] || fail "start dialog: expected
$expected"
echo "$out" | grep -q '^licence: .' || fail "no licence text"
echo "$out" | grep -qx 'icon: ok' || fail "the window has no icon"
echo "installed program OK"
