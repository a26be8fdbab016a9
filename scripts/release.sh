#!/usr/bin/env bash
# Builds the release of the checked-out commit into dist/:
#   morvelin_<version>-1_<arch>.deb         the tool and the Inkscape extension for Debian
#   morvelin-<version>-windows.zip          Morvelin.aip, morvelin.exe, the extension for Windows
#   morvelin-playground-<version>.tar.gz    the playground as a static site
#   SHA256SUMS                              sha256sum's lines for the three
# <version> is the plug-in's version record (resources/resource_texts.h).
#
# Reproducible: two clones of one commit, wherever they are, give the same
# bytes. Every time in the artefacts is the commit's (SOURCE_DATE_EPOCH); the
# Release builds map the clone's paths away (CMakeLists.txt); the PE files
# carry no link time (--no-insert-timestamp); the archives list their entries
# sorted, owned by root, with fixed modes. See docs/releasing.md.
#
# Reuses build-win/ (scripts/build.sh win) and build-web/ (scripts/build.sh
# web) as they are, and builds the tool for the package in build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
export LC_ALL=C TZ=UTC
bash scripts/install-deps.sh build win web release
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release: the working tree differs from the commit; the artefacts are not that commit's" >&2
fi
python=/usr/bin/python3  # Debian's, whichever python3 comes first on PATH
rm -rf dist
mkdir -p dist

# The Debian package: the tool in Release with PNG previews and gzip, and
# Debian's hardening (fortified functions, stack protector, full RELRO).
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMORVELIN_PNG=ON \
  -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >build-release.log 2>&1 ||
  { cat build-release.log >&2; exit 1; }
mv build-release.log build-release/configure.log
grep -q '^ZLIB_LIBRARY_RELEASE:FILEPATH=/' build-release/CMakeCache.txt ||
  { echo "release: zlib not found; the package's tool would refuse .svgz (bash scripts/install-deps.sh build)" >&2; exit 1; }
cmake --build build-release --target morvelin -j "$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-release/CMakeCache.txt)
bash scripts/package-deb.sh build-release dist >/dev/null

# The Windows zip, from the cross build's install rules (cmake/install-windows.cmake).
bash scripts/build.sh win
rm -rf build-win/zip-tree
cmake --install build-win --prefix "$PWD/build-win/zip-tree" >build-win/zip-install.log
"$python" scripts/pack-zip.py build-win/zip-tree "dist/morvelin-$version-windows.zip"

# The playground: build-web/web/ as it is, in a folder named for the release.
bash scripts/build.sh web
site=morvelin-playground-$version
rm -rf "build-web/$site"
cp -r build-web/web "build-web/$site"
find "build-web/$site" -type d -exec chmod 0755 {} + -o -type f -exec chmod 0644 {} +
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner --format=pax \
  --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime -C build-web -cf - "$site" |
  gzip -9n >"dist/$site.tar.gz"

(cd dist && sha256sum -- *.deb *.zip *.tar.gz >SHA256SUMS)
echo "release: dist/ (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
(cd dist && ls -l --time-style=+ -- *)
