#!/usr/bin/env bash
# The real program, driven from outside with real input events (xdotool) on the test display,
# heard through the test sound server's null sink: the list and an entry, a search by pinyin
# initials, the searches by meaning, by shape and inside a text, reading aloud with pause,
# resume and stop, a second copy, the game, the word book and the learner's page. Screenshots
# go to <build>/e2e/. No hooks inside the program: only what a user could do.
#   e2e.sh <build dir>      (exit 77: skipped, no display or no sound server)
set -uo pipefail
build=$1
out="$build/e2e"
mkdir -p "$out"
for tool in xdotool xwininfo xprop xclip import convert parecord sox openbox; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "SKIP: no display"; exit 77; }
[ -n "${PULSE_SERVER:-}" ] && [ -n "${WENQUELL_TEST_SINK:-}" ] || { echo "SKIP: no test sink"; exit 77; }

scratch=$(mktemp -d)
export XDG_RUNTIME_DIR="$scratch/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_DATA_HOME="$scratch/data" # the learner's file, never the user's
failures=0
pid="" wm=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

check() { # check <what> <condition...>
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
shot() { import -window root "$out/$1.png"; }

openbox --replace >/dev/null 2>&1 &
wm=$!
sleep 0.5

# The first 1.5 s of the main window, watched from outside: its X events and a picture every
# 20 ms. The banner's browser starts after the first paint; the window must stay the one
# native window, mapped once, never unmapped, with its full list in every picture.
rm -rf "$out/first-frames"
mkdir -p "$out/first-frames"
"$build/tests/first_frames" Wenquell "$out/first-frames" 1500 >"$out/first-frames.log" 2>&1 &
watcher=$!
for _ in $(seq 1 50); do grep -q '^watching' "$out/first-frames.log" && break; sleep 0.1; done

"$build/wenquell" >"$out/wenquell.log" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name '^Wenquell$' | head -n1)
geometry=$(xwininfo -id "$win")
X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
sleep 1 # the banner page loads in the background
shot banner-1s
sleep 0.5
shot 1-start

wait "$watcher"
summary=$(tail -n1 "$out/first-frames.log")
check "one main window, mapped once, never unmapped ($summary)" \
    grep -q '^windows 1 maps 1 unmaps 0 destroys 0 frames' <<<"$summary"
check "the window shown is the first one made ($win)" \
    grep -q "window 1 ($(printf '0x%x' "$win"))" "$out/first-frames.log"
# The list's place in the window (41,110, 147 x 451): from the first picture with the window
# painted, the same in every picture as in the last. Between the map and the first paint X
# shows the window unpainted, as it does for any program: one or two pictures here, more
# under the sanitizers; more than ten (200 ms) would be a start-up gone wrong.
frames=("$out"/first-frames/frame-*.ppm)
convert "${frames[-1]}" -crop 147x451+41+110 +repage "$scratch/list.png"
unpainted=0 painted=0 incomplete=0
for f in "${frames[@]}"; do
    convert "$f" -crop 147x451+41+110 +repage "$scratch/frame.png"
    if [ "$painted" -eq 0 ] && [ "$(identify -format %k "$scratch/frame.png")" -eq 1 ]; then
        unpainted=$((unpainted + 1))
    else
        painted=$((painted + 1))
        ae=$(compare -metric AE "$scratch/frame.png" "$scratch/list.png" null: 2>&1)
        [ "${ae%%.*}" = 0 ] || incomplete=$((incomplete + 1))
    fi
    convert "$f" "${f%.ppm}.png" && rm "$f"
done
check "the full list in each of the $painted pictures from the first paint on ($incomplete without; $unpainted before it)" \
    test "$painted" -ge 20 -a "$incomplete" -eq 0 -a "$unpainted" -le 10

# The banner as a user sees it: the publisher's page over the whole strip (772 x 82 at the
# window's top), dark red to amber with light text, not the panel's flat grey. It has had
# time to load (under the sanitizers too) by 5 s after the window appeared.
banner_shown() { # banner_shown <screenshot>
    local mean colours r g b
    convert "$1" -crop "772x82+$X+$Y" +repage "$scratch/banner.png"
    mean=$(convert "$scratch/banner.png" -scale '1x1!' -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
    colours=$(identify -format %k "$scratch/banner.png")
    read -r r g b <<<"$mean"
    echo "banner: mean colour $r,$g,$b, $colours colours"
    [ "$r" -gt 120 ] && [ "$r" -gt $((g + 60)) ] && [ "$r" -gt $((b + 60)) ] && [ "$colours" -gt 100 ]
}
sleep 3.5
shot banner-5s
# Under the sanitizers on a busy machine the page may come later: up to 20 s more.
banner_within() {
    local deadline=$((SECONDS + 20))
    banner_shown "$out/banner-5s.png" && return 0
    while [ "$SECONDS" -lt "$deadline" ]; do
        sleep 1
        shot banner-late
        banner_shown "$out/banner-late.png" && return 0
    done
    return 1
}
check "the banner shows its page (5 s after start, or within 20 s more)" banner_within

at() { xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.15; }
click() { at "$1" "$2"; xdotool click 1; sleep 0.4; }

# The entry view's text, as the user copies it: right-click, "全选"; right-click, "复制".
entry_text() {
    at 400 300; xdotool click 3; sleep 0.3; xdotool key Down Return; sleep 0.3
    at 400 300; xdotool click 3; sleep 0.3; xdotool key Down Down Return; sleep 0.3
    xclip -o -selection clipboard 2>/dev/null
}

# 1. A row of the full list (rows are 22 pixels, the list starts at 41,110 in the window).
click 100 $((110 + 1 + 3 * 22 + 11))
text=$(entry_text)
check "the fourth row's entry is shown" grep -q '^【成  语】：阿家阿翁' <<<"$text"
check "with its five labels" test "$(grep -c '^【' <<<"$text")" -eq 5
click 100 $((110 + 1 + 3 * 22 + 11)) # the list has the focus again
xdotool key Down
sleep 0.4
check "the arrow key shows the next entry" grep -q '^【成  语】：哀哀父母' <<<"$(entry_text)"
shot 2-entry

# 2. Search by pinyin initials on the search page.
click 20 $((83 + 77 + 20))
click 85 145
xdotool type --delay 60 yyjd
xdotool key Return
sleep 0.5
shot 3-search
click 90 $((163 + 1 + 11))
check "the search by initials finds 一言九鼎" grep -q '^【成  语】：一言九鼎' <<<"$(entry_text)"

# 2b. After the defined searches find nothing, in character mode: by meaning (the text found
# marked in the entry), by shape, and the idioms inside a pasted paragraph.
marked_pixels() { # marked_pixels <screenshot>: pixels of the entry view's mark colour
    convert "$1" -crop "560x420+$((X + 200))+$((Y + 120))" txt:- 2>/dev/null | grep -ci '#FFE266'
}
search_for() { # search_for <text>: pasted into the emptied search box, then Enter
    printf '%s' "$1" | xclip -selection clipboard
    click 85 145
    xdotool key ctrl+a BackSpace ctrl+v Return
    sleep 0.6
}
click 126 120 # 汉字搜索
search_for 比喻人
click 90 $((163 + 1 + 11))
text=$(entry_text)
click 90 $((163 + 1 + 11)) # the list again, its entry without the selection of 全选
sleep 0.3
shot 7-meaning-search
check "a meaning search lists an idiom whose explanation says 比喻人" grep -q '^【解  释】：.*比喻人' <<<"$text"
check "and marks 比喻人 in its entry" test "$(marked_pixels "$out/7-meaning-search.png")" -gt 50
search_for '一?一?'
click 90 $((163 + 1 + 11))
shot 8-shape-search
check "the shape 一?一? finds an idiom of that shape" grep -qE '^【成  语】：一.一.$' <<<"$(entry_text)"
check "with no mark" test "$(marked_pixels "$out/8-shape-search.png")" -eq 0
search_for '他做事一心一意，说话一言九鼎，写文章总能画龙点睛。'
click 90 $((163 + 1 + 11))
shot 9-paragraph-idioms
check "a paragraph lists the idioms in it, the first first" grep -q '^【成  语】：一心一意' <<<"$(entry_text)"

# 3. Reading aloud, heard on the sink's monitor.
peak() { # peak <seconds>: the loudest sample heard in that time
    timeout "$1" parecord --raw --format=s16le --rate=22050 --channels=1 \
        -d "$WENQUELL_TEST_SINK.monitor" >"$scratch/rec.raw" 2>/dev/null
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$scratch/rec.raw" -n stat 2>&1 |
        awk '/Maximum amplitude/ {print int($3 * 32768)}'
}
# silent_within <seconds>: true once half a second passes in silence, within that time. Under
# the sanitizers on a busy machine the click itself can take a while to be handled.
silent_within() {
    local deadline=$((SECONDS + $1))
    while [ "$SECONDS" -lt "$deadline" ]; do
        [ "$(peak 0.5)" -lt 100 ] && return 0
    done
    return 1
}
click 318 104   # play
sleep 0.3
check "sound after Play" test "$(peak 1.2)" -gt 300
click 353 104   # pause
sleep 0.3
check "silence after Pause" silent_within 3
click 388 104   # resume
sleep 0.2
check "sound again after Resume" test "$(peak 1.2)" -gt 300
click 423 104   # stop
sleep 0.3
check "silence after Stop" silent_within 3

# 4. A second copy wakes the first and ends, with no window of its own.
start=$(date +%s%N)
"$build/wenquell" >/dev/null 2>&1
rc=$?
took=$(( ($(date +%s%N) - start) / 1000000 ))
check "a second copy ends with 0 (after $took ms)" test "$rc" -eq 0
check "one window captioned Wenquell" test "$(xdotool search --onlyvisible --name '^Wenquell$' | wc -l)" -eq 1

# 5. The game: open it, deal.
click 20 $((83 + 123 + 20))
game=$(timeout 10 xdotool search --sync --onlyvisible --name '^成语游戏$' | head -n1)
check "the game window opens" test -n "$game"
if [ -n "$game" ]; then
    g=$(xwininfo -id "$game")
    GX=$(awk '/Absolute upper-left X/ {print $4}' <<<"$g")
    GY=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$g")
    import -window root -crop "322x266+$GX+$GY" "$scratch/before.png"
    xdotool mousemove $((GX + 50)) $((GY + 16)) click 1
    sleep 0.8
    import -window root -crop "322x266+$GX+$GY" "$scratch/after.png"
    shot 4-game-dealt
    diff=$(compare -metric AE "$scratch/before.png" "$scratch/after.png" null: 2>&1)
    check "a deal fills the game's lists ($diff pixels changed)" test "${diff%%.*}" -gt 500
    xdotool windowactivate --sync "$game" 2>/dev/null
    xdotool key Escape
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '^成语游戏$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    check "the game window closes" test -z "$(xdotool search --onlyvisible --name '^成语游戏$')"
fi

# 6. The word book: an entry shown, Ctrl+B fills the mark on the entry view; the learner's page
# (the strip's fourth button) lists it with the history. The file is beside nothing of ours.
xdotool windowactivate --sync "$win" 2>/dev/null
click 100 $((110 + 1 + 1 * 22 + 11))
shot 7-book-out
xdotool key ctrl+b
sleep 0.5
shot 7-book-in
convert "$out/7-book-out.png" -crop "570x40+$((X + 200))+$((Y + 120))" +repage "$scratch/out.png"
convert "$out/7-book-in.png" -crop "570x40+$((X + 200))+$((Y + 120))" +repage "$scratch/in.png"
diff=$(compare -metric AE "$scratch/out.png" "$scratch/in.png" null: 2>&1)
check "Ctrl+B fills the word-book mark ($diff pixels changed)" test "${diff%%.*}" -gt 30 -a "${diff%%.*}" -lt 600
check "the learner's file is in the data folder" test -s "$XDG_DATA_HOME/Wenquell/learner.db"
click 20 $((83 + 169 + 17))
shot 8-study-page
convert "$out/7-book-in.png" -crop "147x451+$((X + 41))+$((Y + 110))" +repage "$scratch/list.png"
convert "$out/8-study-page.png" -crop "147x451+$((X + 41))+$((Y + 110))" +repage "$scratch/study.png"
diff=$(compare -metric AE "$scratch/list.png" "$scratch/study.png" null: 2>&1)
check "the fourth strip button shows the learner's page ($diff pixels changed)" test "${diff%%.*}" -gt 2000
click 20 $((83 + 31 + 17)) # back to the full list

# The program ends cleanly when its window is closed. (Under the sanitizers the program is
# slow, so the key is given again if the window is still there.)
for attempt in 1 2 3; do
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key alt+F4
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null || break
done
if kill -0 "$pid" 2>/dev/null; then
    check "the program ends when its window is closed" false
else
    wait "$pid"
    check "the program ends with 0 when its window is closed" test $? -eq 0
    pid=""
fi

# 6. At twice the scale the window is larger than this screen: it stands at the top left with
# its title bar on the screen, where it can be dragged.
WENQUELL_BANNER_MODULE= QT_SCALE_FACTOR=2 "$build/wenquell" >"$out/wenquell-scale-2.log" 2>&1 &
pid=$!
big=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wenquell$' | head -n1)
if [ -n "$big" ]; then
    sleep 1
    shot 5-scale-2
    top=$(xwininfo -id "$big" | awk '/Absolute upper-left Y/ {print $4}')
    title=$(xprop -id "$big" _NET_FRAME_EXTENTS | awk -F', ' '{print $3}')
    check "at twice the scale the title bar is on the screen (window at y $top, title bar ${title:-?} high)" \
        test -n "$title" -a "$((top - ${title:-0}))" -ge 0
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
else
    check "the window opens at twice the scale" false
fi
pid=""

# 7. On a display without OpenGL (no GLX, as over some remote desktops) the browser cannot be
# drawn: the dictionary runs with an empty banner and says why, instead of crashing.
QT_XCB_GL_INTEGRATION=none "$build/wenquell" >"$out/wenquell-no-opengl.log" 2>&1 &
pid=$!
plain=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wenquell$' | head -n1)
sleep 3 # past the first paint, when the banner would start
shot 6-no-opengl
check "without OpenGL the program runs on, its window shown" \
    test -n "$plain" -a -n "$(kill -0 "$pid" 2>/dev/null && echo alive)"
check "and says why the banner is empty" grep -q '横幅不显示：没有可用的 OpenGL' "$out/wenquell-no-opengl.log"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""

echo "screenshots in $out"
[ "$failures" -eq 0 ]
