# A private X display and a private PulseAudio server with a null sink, for the tests.
# Sourced by test.sh. Nothing here touches the user's own screen, speakers or runtime files.

WQ_HEADLESS_DIR=""
WQ_XVFB_PID=""
WQ_PULSE_PID=""

wq_stop_headless() {
    [ -n "$WQ_PULSE_PID" ] && kill "$WQ_PULSE_PID" 2>/dev/null && wait "$WQ_PULSE_PID" 2>/dev/null
    [ -n "$WQ_XVFB_PID" ] && kill "$WQ_XVFB_PID" 2>/dev/null && wait "$WQ_XVFB_PID" 2>/dev/null
    [ -n "$WQ_HEADLESS_DIR" ] && rm -rf "$WQ_HEADLESS_DIR"
    WQ_PULSE_PID="" WQ_XVFB_PID="" WQ_HEADLESS_DIR=""
}

wq_start_headless() {
    WQ_HEADLESS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/wenquell-test.XXXXXX")
    chmod 700 "$WQ_HEADLESS_DIR"
    mkdir -m 700 "$WQ_HEADLESS_DIR/run" "$WQ_HEADLESS_DIR/pulse" "$WQ_HEADLESS_DIR/home"

    # Xvfb picks a free display number itself and writes it to fd 3.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$WQ_HEADLESS_DIR/display" 2>"$WQ_HEADLESS_DIR/xvfb.log" &
    WQ_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$WQ_HEADLESS_DIR/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$WQ_HEADLESS_DIR/display" ]; then
        echo "error: Xvfb did not start:" >&2
        cat "$WQ_HEADLESS_DIR/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$WQ_HEADLESS_DIR/display")"

    export XDG_RUNTIME_DIR="$WQ_HEADLESS_DIR/run"
    export PULSE_RUNTIME_PATH="$WQ_HEADLESS_DIR/pulse"
    export PULSE_SERVER="unix:$WQ_HEADLESS_DIR/pulse/native"
    HOME="$WQ_HEADLESS_DIR/home" pulseaudio --daemonize=no --exit-idle-time=-1 -n \
        --use-pid-file=no --disable-shm=yes --log-target=stderr \
        -L "module-null-sink sink_name=wq_null rate=22050 channels=1" \
        -L "module-native-protocol-unix socket=$WQ_HEADLESS_DIR/pulse/native auth-anonymous=1" \
        2>"$WQ_HEADLESS_DIR/pulse.log" &
    WQ_PULSE_PID=$!
    for i in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! pactl info >/dev/null 2>&1; then
        echo "error: the private PulseAudio server did not start:" >&2
        cat "$WQ_HEADLESS_DIR/pulse.log" >&2
        return 1
    fi
    pactl set-default-sink wq_null
    export WENQUELL_TEST_SINK=wq_null
}
