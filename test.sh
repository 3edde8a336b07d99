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

trap wq_stop_headless EXIT
wq_start_headless
ctest --test-dir "$WQ_BUILD" --output-on-failure --timeout 300 "$@"
