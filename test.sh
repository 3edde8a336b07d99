#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine like run.sh, then runs every test through CTest on a
# private Xvfb display and a private PulseAudio null sink. Extra arguments go to ctest.
# At the end it prints how long each stage took.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
. tools/headless.sh

WQ_STAGES=()
# wq_stage NAME COMMAND...: runs the command and notes how long it took.
wq_stage() {
    local name=$1 start=$SECONDS status=0
    shift
    "$@" || status=$?
    WQ_STAGES+=("$(printf '%-58s %4d s%s' "$name" $((SECONDS - start)) \
        "$([ "$status" -eq 0 ] || echo "  (failed: $status)")")")
    return "$status"
}
wq_print_stages() {
    [ "${#WQ_STAGES[@]}" -gt 0 ] || return 0
    wq_log "Time taken by each stage"
    printf '  %s\n' "${WQ_STAGES[@]}" >&2
    printf '  %-58s %4d s\n' "in all" "$SECONDS" >&2
}
trap 'wq_stop_headless; wq_print_stages' EXIT

wq_sanitized_ctest() {
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS="suppressions=$WQ_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$WQ_ROOT/build-asan" --output-on-failure --timeout 600 "$@"
}

# Every tracked C++ file as .clang-format wants it (clang-format 14, Debian 12's).
wq_check_format() {
    if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        echo "not a git checkout: format check skipped" >&2
        return 0
    fi
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

wq_stage "install packages" wq_install_packages
wq_stage "format check" wq_check_format
wq_stage "fetch and convert the idiom data" wq_fetch_data
wq_stage "build build/ (with the tests, benchmarks and viewers)" \
    wq_build "$WQ_BUILD" all "${WQ_ALL_PARTS[@]}"
wq_stage "build build-asan/ (AddressSanitizer, UBSan)" \
    wq_build "$WQ_ROOT/build-asan" all "${WQ_ALL_PARTS[@]}" -DWENQUELL_SANITIZE=ON
wq_stage "build build-fuzz/ (clang, libFuzzer)" \
    wq_build "$WQ_ROOT/build-fuzz" fuzzers -DCMAKE_CXX_COMPILER=clang++ -DWENQUELL_BUILD_TESTS=ON \
    -DWENQUELL_FUZZ=ON

wq_start_headless

wq_log "Running the tests"
wq_stage "tests" ctest --test-dir "$WQ_BUILD" --output-on-failure --timeout 300 "$@"

wq_log "Running the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
wq_stage "tests under the sanitizers" wq_sanitized_ctest "$@"

# Mesa picks its software OpenGL path by processor; its other driver stands in for a machine
# of another kind, for the tests whose windows use OpenGL.
wq_log "Running the OpenGL tests under the sanitizers with Mesa's softpipe driver"
wq_softpipe_ctest() {
    GALLIUM_DRIVER=softpipe wq_sanitized_ctest -R '^(browser/webbrowseex|app/mainwindow)$'
}
wq_stage "OpenGL tests under the sanitizers, softpipe" wq_softpipe_ctest

wq_log "Fuzzing each parser of outside input for a short while"
wq_stage "fuzzing" ctest --test-dir "$WQ_ROOT/build-fuzz" --output-on-failure --timeout 600 -R '^fuzz/'
