#!/usr/bin/env bash
# The Debian package where it lands: makes it from the build (tools/make-deb.sh), unpacks it
# with dpkg-deb -x into a scratch root (nothing is installed on the machine), starts the
# program from that tree on the test display, sees its window with the full idiom list, and
# hears it read an entry on the test sound server's sink.
#   check_package.sh <build dir>      (exit 77: skipped)
set -uo pipefail
build=$1
root_dir=$(cd "$(dirname "$0")/.." && pwd)
for tool in dpkg-deb dpkg-shlibdeps xdotool import convert identify parecord sox; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
[ -n "${DISPLAY:-}" ] && [ -n "${WENQUELL_TEST_SINK:-}" ] ||
    { echo "skipped: needs the test display and sound server"; exit 77; }
[ -f "$build/data/EduData.db" ] || { echo "skipped: no idiom store was built"; exit 77; }

scratch=$(mktemp -d)
trap 'kill "${pid:-0}" 2>/dev/null; wait "${pid:-0}" 2>/dev/null; rm -rf "$scratch"' EXIT
failed=0
check() { # check <what> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failed=1; fi
}

bash "$root_dir/tools/make-deb.sh" "$build" "$scratch/out" >"$scratch/make-deb.log" 2>&1 ||
    { cat "$scratch/make-deb.log" >&2; echo "FAILED: the package could not be made" >&2; exit 1; }
deb=$(ls "$scratch"/out/wenquell_*.deb)
info=$(dpkg-deb -I "$deb")
check "the package depends on the sound server's client and the speech data" \
    grep -Eq '^ Depends: .*libpulse0.*espeak-ng-data' <<<"$info"
dpkg-deb -x "$deb" "$scratch/root"

# Started from the unpacked tree: it finds its store, pages and modules beside itself.
export XDG_RUNTIME_DIR="$scratch/run" WENQUELL_LEARNER_FILE="$scratch/learner.db"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$scratch/root/usr/bin/wenquell" >"$scratch/out.log" 2>&1 &
pid=$!
win=""
for _ in $(seq 1 300); do
    win=$(xdotool search --onlyvisible --name '^Wenquell$' 2>/dev/null | head -n1)
    [ -n "$win" ] && [ -S "$XDG_RUNTIME_DIR/Wenquell.sock" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
check "the unpacked program shows its window" test -n "$win"
[ -n "$win" ] || { cat "$scratch/out.log" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root "$scratch/screen.png"
# The list's place in the window (41,110, 147 x 451): rows of text, not an empty box.
convert "$scratch/screen.png" -crop "147x451+$((X + 41))+$((Y + 110))" +repage "$scratch/list.png"
check "the list is filled ($(identify -format %k "$scratch/list.png") colours)" \
    test "$(identify -format %k "$scratch/list.png")" -gt 20

at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.5; }
peak() {
    timeout "$1" parecord --raw --format=s16le --rate=22050 --channels=1 \
        -d "$WENQUELL_TEST_SINK.monitor" >"$scratch/rec.raw" 2>/dev/null
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$scratch/rec.raw" -n stat 2>&1 |
        awk '/Maximum amplitude/ {print int($3 * 32768)}'
}
heard() { # heard within 10 s
    local deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        [ "$(peak 1)" -gt 300 ] && return 0
    done
    return 1
}
at 100 $((110 + 1 + 3 * 22 + 11)) # an idiom of the list
at 318 104                         # play
check "it reads the entry aloud" heard
exit "$failed"
