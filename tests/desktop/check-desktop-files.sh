#!/bin/bash
# Installs the build into a scratch prefix and checks what a desktop reads: the
# .desktop entry (desktop-file-validate), the shared-mime-info types (xmllint,
# update-mime-database and the globs it compiles), the icon, and that the entry,
# the types and the installed files name each other.
set -u
build="$1" stage="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate xmllint update-mime-database; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/lib/setup.sh installs it)"
done
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null || fail "cmake --install failed"
entry="$stage/share/applications/gravitas.desktop" types="$stage/share/mime/packages/gravitas.xml"
icon="$stage/share/icons/hicolor/scalable/apps/gravitas.svg" globs="$stage/share/mime/globs2"
for f in "$entry" "$types" "$icon"; do [ -s "$f" ] || fail "not installed: ${f#"$stage"/}"; done
[ -x "$stage/bin/gravitas" ] || fail "the program is not installed in bin/"
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
echo "$out" | grep -Eq 'error|warning' && fail "desktop-file-validate: $out"  # hints are fine
xmllint --noout "$types" "$icon" || fail "the MIME package or the icon is not well-formed XML"
grep -q '<svg[^>]*xmlns="http://www.w3.org/2000/svg"' "$icon" || fail "the icon is not an SVG document"
update-mime-database "$stage/share/mime" >/dev/null 2>&1 || fail "update-mime-database refused the package"
grep -q ':application/x-gravitas-universe:\*\.universe$' "$globs" || fail "*.universe is not mapped: $(cat "$globs")"
grep -q ':application/x-gravitas-stars:\*\.stars$' "$globs" || fail "*.stars is not mapped: $(cat "$globs")"
[ -s "$stage/share/mime/application/x-gravitas-universe.xml" ] || fail "no compiled universe type"
# The entry hands files to the program and claims exactly the types the package defines.
grep -q '^Exec=gravitas %F$' "$entry" || fail "Exec must pass the files (%F)"
grep -q '^Icon=gravitas$' "$entry" || fail "Icon must name the installed icon"
claimed=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n' | sed '/^$/d' | sort)
defined=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$types" | sort)
[ "$claimed" = "$defined" ] || fail "MimeType ($claimed) differs from the package ($defined)"
echo "desktop files OK"
