#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the layout, then starts the installed
# program through its bin/ link and waits until its window listens for a second copy: it found
# its idiom store (a failure would stop it at a message box first) and libUpdate.so.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null; rm -rf "$scratch"' EXIT
prefix="$scratch/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

libdir=$(find "$prefix" -type d -path '*/wenquell' -prune -name wenquell | grep -v '/share/' | head -n1)
for f in "$prefix/bin/wenquell" "$libdir/wenquell" "$libdir/libUpdate.so" \
         "$libdir/libwenquell-banner.so" "$libdir/libwenquell-sound.so" \
         "$libdir/site/ad/201072718_1.html" "$libdir/site/201072118.html" \
         "$libdir/site/SiteBack/updateTxt/18.txt" \
         "$prefix/share/applications/wenquell.desktop" \
         "$prefix/share/icons/hicolor/48x48/apps/wenquell.png"; do
    [ -e "$f" ] || { echo "missing after install: $f" >&2; exit 1; }
done
[ -L "$prefix/bin/wenquell" ] || { echo "bin/wenquell is not a link" >&2; exit 1; }
if [ ! -e "$libdir/data/EduData.db" ]; then
    echo "no idiom store was built; the layout is right, the start is skipped"
    exit 0
fi

export XDG_RUNTIME_DIR="$scratch/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$prefix/bin/wenquell" &
pid=$!
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/Wenquell.sock" ] && { echo "installed program started"; exit 0; }
    kill -0 "$pid" 2>/dev/null || { echo "installed program ended early" >&2; exit 1; }
    sleep 0.1
done
echo "installed program did not come up (store or library not found?)" >&2
exit 1
