#!/bin/sh
# Builds the .deb, checks its dependencies, unpacks it (nothing is installed
# on this machine) and starts the unpacked program in its own X server.
# Usage: deb_package.sh <build-directory>
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$(ls "$scratch"/out/*.deb)

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins libzip4 fonts-dejavu-core; do
    case ", $depends," in
    *", $needed"[\ ,\(]*) ;;
    *) echo "missing dependency: $needed" >&2; exit 1 ;;
    esac
done

dpkg-deb -x "$deb" "$scratch/root"
for file in usr/bin/tallyforge usr/share/applications/tallyforge.desktop \
    usr/share/metainfo/io.github.tallyforge.Tallyforge.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/tallyforge.svg; do
    [ -f "$scratch/root/$file" ] || { echo "not in the package: $file" >&2; exit 1; }
done

# The program must still be running after two seconds: it found its display,
# its platform plugin and its resources, and built its window.
status=0
QT_QPA_PLATFORM=xcb xvfb-run -a timeout 2 "$scratch/root/usr/bin/tallyforge" >"$scratch/run.log" 2>&1 || status=$?
if [ "$status" -ne 124 ]; then
    echo "the unpacked program ended with status $status:" >&2
    cat "$scratch/run.log" >&2
    exit 1
fi
if grep -Ei 'could not|cannot|error|failed' "$scratch/run.log"; then
    echo "the unpacked program complained" >&2
    exit 1
fi
