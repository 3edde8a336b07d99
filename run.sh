#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (packages, idiom data, build) and starts the dictionary.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh

wq_install_packages
wq_fetch_data
wq_build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
Wenquell is built (build/wenquell), but there is no display to open its window on.
Run it on a desktop session, or under a virtual X server:
    xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh
MSG
    exit 1
fi
exec "$WQ_BUILD/wenquell"
