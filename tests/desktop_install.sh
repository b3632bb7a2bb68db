#!/bin/sh
# Installs the build into a scratch prefix and checks that the program, its
# menu entry, its icons and its metainfo land where a desktop looks, and that
# the two description files are valid.
# Usage: desktop_install.sh <build-directory>
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/tallyforge \
    share/applications/tallyforge.desktop \
    share/metainfo/io.github.tallyforge.Tallyforge.metainfo.xml \
    share/icons/hicolor/scalable/apps/tallyforge.svg \
    share/icons/hicolor/16x16/apps/tallyforge.png \
    share/icons/hicolor/48x48/apps/tallyforge.png \
    share/icons/hicolor/256x256/apps/tallyforge.png; do
    if [ ! -f "$prefix/$file" ]; then
        echo "not installed: $file" >&2
        exit 1
    fi
done
[ -x "$prefix/bin/tallyforge" ] || { echo "bin/tallyforge is not executable" >&2; exit 1; }

# Every icon is the size its folder names.
for png in "$prefix"/share/icons/hicolor/*x*/apps/tallyforge.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    # Width and height: big-endian words at bytes 16 and 20 of a PNG.
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }')
    [ "$size" = "$folder" ] || { echo "$png is $size" >&2; exit 1; }
done

desktop-file-validate "$prefix/share/applications/tallyforge.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.tallyforge.Tallyforge.metainfo.xml"
