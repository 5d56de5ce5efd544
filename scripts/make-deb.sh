#!/usr/bin/env bash
# Makes the Debian package of the Linux build: `cmake --install` of a built tree into a
# staging folder under /usr, the run-time dependencies found by dpkg-shlibdeps, dpkg-deb.
#   scripts/make-deb.sh [BUILD_DIR] [OUT_DIR]   (defaults: build/run, built if missing; build/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/run}
out=${2:-$here/build}
if [ ! -x "$build/zephlora" ]; then
  cmake --preset run -S "$here" >/dev/null
  cmake --build --preset run -j2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
strip --strip-unneeded "$stage/usr/libexec/xscreensaver/zephlora"

# dpkg-shlibdeps wants a source package's control file to stand in.
mkdir -p "$work/debian"
printf 'Source: zephlora\n\nPackage: zephlora\nArchitecture: any\n' > "$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "$stage/usr/libexec/xscreensaver/zephlora" 2>/dev/null |
          sed -n 's/^shlibs:Depends=//p')
# The project's version, as CMake writes it into the build folder (a folder configured before
# it did so is configured again).
[ -f "$build/VERSION" ] || cmake "$build" >/dev/null
version=$(cat "$build/VERSION")
[ -n "$version" ] || { echo "make-deb.sh: $build/VERSION is empty" >&2; exit 1; }
arch=$(dpkg --print-architecture)
mkdir -p "$stage/DEBIAN"
cat > "$stage/DEBIAN/control" <<CONTROL
Package: zephlora
Version: $version
Architecture: $arch
Maintainer: Zephlora developers <zephlora@localhost>
Section: x11
Priority: optional
Depends: $depends
Recommends: xscreensaver
Installed-Size: $(du -sk "$stage/usr" | cut -f1)
Description: morphing cloud of glowing dots, a display hack for xscreensaver
 A cloud of small glowing green dots turns about three axes, drifts across the
 screen and morphs into the next of nine shapes, in front of astronomical
 pictures. Add "zephlora --root" to the programs of ~/.xscreensaver to use it.
CONTROL
mkdir -p "$out"
deb=$out/zephlora_${version}_${arch}.deb
dpkg-deb --root-owner-group --build "$stage" "$deb" >/dev/null
echo "$deb"
