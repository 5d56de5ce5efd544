#!/usr/bin/env bash
# Makes the Debian package of the Linux build: `cmake --install` of a built tree into a
# staging folder under /usr (the hack, its pack and page, the xscreensaver description, the
# menu entry of the settings, the icons, the AppStream description, the manual page), the
# files Debian asks of every package (copyright, changelog), the run-time dependencies found
# by dpkg-shlibdeps, dpkg-deb. lintian has nothing to say about the result.
#   scripts/make-deb.sh [BUILD_DIR] [OUT_DIR]   (defaults: build/run, built if missing; build/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/run}
out=${2:-$here/build}
if [ ! -x "$build/zephlora" ]; then
  cmake --preset run -S "$here" >/dev/null
  cmake --build --preset run -j2
fi
# The version is the project's, project() in CMakeLists.txt, as the built tree has it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [ -z "$version" ]; then
  echo "make-deb.sh: $build/CMakeCache.txt holds no project version" >&2
  exit 1
fi
maintainer="Zephlora developers <developers@zephlora.org>"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$stage/usr/libexec/xscreensaver/zephlora"

# Debian's documentation of a package: the copyright file and the changelog (compressed, with
# no time stamp in the gzip header, as is the manual page).
doc=$stage/usr/share/doc/zephlora
mkdir -p "$doc"
cp "$here/packaging/linux/copyright" "$doc/copyright"
# The changelog's date is the last commit's (or SOURCE_DATE_EPOCH's), so that the same tree
# makes the same package.
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || date +%s)}
date=$(LC_ALL=C date -u -R -d "@$stamp")
cat > "$doc/changelog" <<CHANGELOG
zephlora ($version) unstable; urgency=medium

  * Zephlora $version: the screen saver, its settings dialog and the xscreensaver
    display hack.

 -- $maintainer  $date
CHANGELOG
gzip -9n "$doc/changelog" "$stage/usr/share/man/man6/zephlora.6"

# Folders and data 0755 and 0644, whatever the umask; programs keep their execute bits.
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod u+rw,go+r,go-w {} +

# dpkg-shlibdeps wants a source package's control file to stand in.
mkdir -p "$work/debian"
printf 'Source: zephlora\n\nPackage: zephlora\nArchitecture: any\n' > "$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "$stage/usr/libexec/xscreensaver/zephlora" 2>/dev/null |
          sed -n 's/^shlibs:Depends=//p')
arch=$(dpkg --print-architecture)
mkdir -p "$stage/DEBIAN"
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) > "$stage/DEBIAN/md5sums"
cat > "$stage/DEBIAN/control" <<CONTROL
Package: zephlora
Version: $version
Architecture: $arch
Maintainer: $maintainer
Section: x11
Priority: optional
Depends: $depends
Recommends: xscreensaver
Installed-Size: $(du -sk "$stage/usr" | cut -f1)
Description: morphing cloud of glowing dots, a display hack for xscreensaver
 A cloud of small glowing green dots turns about three axes, drifts across the
 screen and morphs into the next of nine shapes, in front of astronomical
 pictures. Add "zephlora --root" to the programs of ~/.xscreensaver to use it;
 its settings dialog (in Japanese) is in the desktop's settings menu.
CONTROL
mkdir -p "$out"
deb=$out/zephlora_${version}_${arch}.deb
dpkg-deb --root-owner-group --build "$stage" "$deb" >/dev/null
echo "$deb"
