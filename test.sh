#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine like run.sh, then runs every test through CTest on a
# private Xvfb display and a private PulseAudio null sink. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
. tools/headless.sh

wq_install_packages
wq_fetch_data
wq_build
wq_build "$WQ_ROOT/build-asan" all -DWENQUELL_SANITIZE=ON
wq_build "$WQ_ROOT/build-fuzz" fuzzers -DCMAKE_CXX_COMPILER=clang++ -DWENQUELL_FUZZ=ON

trap wq_stop_headless EXIT
wq_start_headless

wq_log "Running the tests"
ctest --test-dir "$WQ_BUILD" --output-on-failure --timeout 300 "$@"

wq_log "Running the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$WQ_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$WQ_ROOT/build-asan" --output-on-failure --timeout 600 "$@"

wq_log "Fuzzing each parser of outside input for a short while"
ctest --test-dir "$WQ_ROOT/build-fuzz" --output-on-failure --timeout 600 -R '^fuzz/'

