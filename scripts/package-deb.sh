#!/usr/bin/env bash
# Makes the Debian package of a built native tree with Debian's own tools:
#   scripts/package-deb.sh BUILD-DIR OUT-DIR   -> OUT-DIR/morvelin_<version>-1_<arch>.deb
# BUILD-DIR is a configured and built Release build (scripts/release.sh makes
# build-release/). Its install rules (cmake/install-native.cmake) fill the
# package tree under /usr; this script adds the Debian files
# (packaging/debian/): the copyright file from LICENSE, changelog.Debian.gz,
# and the control file, whose Depends dpkg-shlibdeps computes from the
# libraries the tool links. dpkg-deb builds the package owned by root, its
# entries sorted and their times clamped to SOURCE_DATE_EPOCH, which must be
# set (scripts/release.sh takes it from the commit).
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: scripts/package-deb.sh BUILD-DIR OUT-DIR" >&2; exit 2; }
: "${SOURCE_DATE_EPOCH:?scripts/package-deb.sh: set SOURCE_DATE_EPOCH (seconds since 1970)}"
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
umask 022

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package-deb: $build/CMakeCache.txt names no project version" >&2; exit 1; }
version_text=$(sed -n 's/^#define MORVELIN_VERSION_TEXT "\(.*\)"$/\1/p' "$root/resources/resource_texts.h")
debian_version=$version-1
arch=$(dpkg --print-architecture)

tree=$build/deb-tree
rm -rf "$tree"
mkdir -p "$tree/DEBIAN"
DESTDIR=$tree cmake --install "$build" --prefix /usr --strip >"$build/deb-install.log"
# As dh_strip leaves a program: no symbols, no .comment or .note sections.
strip --remove-section=.comment --remove-section=.note "$tree/usr/bin/morvelin"

doc=$tree/usr/share/doc/morvelin
mkdir -p "$doc"
# The MIT licence is "Expat" to Debian; its text indented, blank lines as " .".
{
  cat "$root/packaging/debian/copyright.in"
  sed -e 's/^$/./' -e 's/^/ /' "$root/LICENSE"
} >"$doc/copyright"
sed -e "s/@DEBIAN_VERSION@/$debian_version/" -e "s/@VERSION@/$version/" -e "s/@VERSION_TEXT@/$version_text/" \
  -e "s/@DATE@/$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")/" "$root/packaging/debian/changelog.in" |
  gzip -9n >"$doc/changelog.Debian.gz"

# dpkg-shlibdeps reads debian/control of the folder it runs in: a minimal one.
shlibs=$build/deb-shlibdeps
rm -rf "$shlibs"
mkdir -p "$shlibs/debian"
printf 'Source: morvelin\n\nPackage: morvelin\nArchitecture: any\n' >"$shlibs/debian/control"
depends=$(cd "$shlibs" && dpkg-shlibdeps -O "$tree/usr/bin/morvelin" 2>"$build/deb-shlibdeps.log" |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package-deb: dpkg-shlibdeps found no dependencies; see $build/deb-shlibdeps.log" >&2; exit 1; }
# The Inkscape extension's launcher is a Python 3 script.
depends="$depends, python3:any"

# Modes and times fixed, whatever the umask and the clock of the build.
find "$tree" -type d -exec chmod 0755 {} +
find "$tree/usr" -type f ! -perm -u+x -exec chmod 0644 {} +
find "$tree/usr" -type f -perm -u+x -exec chmod 0755 {} +
# Installed-Size as dpkg-gencontrol counts it: KiB per file, rounded up, and
# one per directory or link; from file sizes, not the file system's blocks.
installed_size=$(find "$tree/usr" -printf '%y %s\n' |
  awk '$1 == "f" { kib += int(($2 + 1023) / 1024); next } { kib += 1 } END { print kib }')
(cd "$tree" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$tree/DEBIAN/md5sums"
sed -e "s/@DEBIAN_VERSION@/$debian_version/" -e "s/@ARCH@/$arch/" -e "s/@INSTALLED_SIZE@/$installed_size/" \
  -e "s/@DEPENDS@/$depends/" "$root/packaging/debian/control.in" >"$tree/DEBIAN/control"
chmod 0644 "$tree/DEBIAN/control" "$tree/DEBIAN/md5sums"
find "$tree" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

deb=$out/morvelin_${debian_version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$tree" "$deb" >/dev/null
echo "$deb"
