#!/usr/bin/env bash
# Makes wenquell_<version>_<arch>.deb from a build: tools/make-deb.sh [build dir [out dir]].
# The version is the top CMakeLists.txt's; Depends comes from the shared libraries
# (dpkg-shlibdeps) and the data the program needs at run time. Needs dpkg-dev.
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root_dir/build}" && pwd)
out=$(mkdir -p "${2:-$build}" && cd "${2:-$build}" && pwd)
[ -f "$build/data/EduData.db" ] || { echo "no idiom store in $build: build it first (./run.sh)" >&2; exit 1; }
cmake --build "$build" --target program >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pkg="$work/root"
DESTDIR="$pkg" cmake --install "$build" --prefix /usr >/dev/null

# What Debian's policy asks of the installed files: stripped code, compressed manual page,
# the copyright and changelog in the package's doc folder.
find "$pkg/usr/lib/wenquell" -type f \( -name wenquell -o -name '*.so' \) -exec \
    strip --strip-unneeded --remove-section=.comment --remove-section=.note {} +
gzip -9n "$pkg/usr/share/man/man1/wenquell.1"
doc="$pkg/usr/share/doc/wenquell"
mkdir -p "$doc"
install -m 644 "$root_dir/install/copyright" "$doc/copyright"
cat >"$work/changelog" <<LOG
wenquell ($version) unstable; urgency=medium

  * Release $version.

 -- Wenquell developers <developers@wenquell.org>  $(date -R -d @"${SOURCE_DATE_EPOCH:-$(git -C "$root_dir" log -1 --format=%ct 2>/dev/null || date +%s)}")
LOG
gzip -9n <"$work/changelog" >"$doc/changelog.gz"
find "$pkg" -type d -exec chmod 755 {} +
find "$pkg" -type f -exec chmod 644 {} +
chmod 755 "$pkg/usr/lib/wenquell/wenquell"

# Depends: what the program and its modules link, then the data it reads at run time.
mkdir -p "$work/debian"
printf 'Source: wenquell\n\nPackage: wenquell\nArchitecture: any\n' >"$work/debian/control"
shlibs=$(cd "$work" && dpkg-shlibdeps -O -l"$pkg/usr/lib/wenquell" -e"$pkg/usr/lib/wenquell/wenquell" \
    "$pkg"/usr/lib/wenquell/*.so 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
# espeak-ng and OpenCC are opened by name when first needed, so shlibdeps cannot see them.
depends="$shlibs, libespeak-ng1, espeak-ng-data, libopencc1.1, fonts-wqy-microhei, qt6-qpa-plugins"

mkdir -p "$pkg/DEBIAN"
(cd "$pkg" && find usr -type f -exec md5sum {} + | sort -k2) >"$pkg/DEBIAN/md5sums"
chmod 644 "$pkg/DEBIAN/md5sums"
cat >"$pkg/DEBIAN/control" <<CONTROL
Package: wenquell
Version: $version
Architecture: $arch
Maintainer: Wenquell developers <developers@wenquell.org>
Installed-Size: $(du -sk --exclude=DEBIAN "$pkg" | cut -f1)
Depends: $depends
Section: education
Priority: optional
Recommends: qt6-translations-l10n
Description: dictionary of Chinese idioms with reading aloud
 Every Chinese idiom (chengyu) of its store in one list, searched by pinyin
 (whole syllables or initials) or by characters; each idiom's entry gives the
 idiom, its pinyin, an explanation, an example and its source, and can be read
 aloud. A fill-in-the-blank game asks for the missing characters of idioms.
CONTROL
deb="$out/wenquell_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$deb" >/dev/null
echo "$deb"
