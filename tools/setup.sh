# Shared set-up steps of run.sh and test.sh: Debian packages, the idiom data, the build.
# Sourced, not run. Every step does nothing when its work is already done.

WQ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WQ_BUILD="$WQ_ROOT/build"

# What the program and its tests need from Debian 12.
WQ_PACKAGES=(
    cmake g++ ninja-build pkg-config ca-certificates
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libpulse-dev qt6-webengine-dev qt6-translations-l10n
    libsqlite3-dev libespeak-ng-dev espeak-ng-data fonts-wqy-microhei libopencc-dev
    sqlite3 espeak-ng
    xvfb xauth pulseaudio pulseaudio-utils sox x11-utils xdotool openbox xclip imagemagick
    libxcb1-dev
    gcin-voice libvorbis-dev aubio-tools libaubio-dev
    clang libclang-rt-14-dev clang-format
    dpkg-dev desktop-file-utils appstream
)

wq_log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

wq_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

wq_missing_packages() {
    local p missing=()
    for p in "${WQ_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    # npm may come from Node's own packages; only ask Debian for it when there is none.
    command -v npm >/dev/null 2>&1 || missing+=(npm)
    printf '%s\n' "${missing[@]}"
}

wq_install_packages() {
    local missing
    mapfile -t missing < <(wq_missing_packages | sed '/^$/d')
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    wq_log "Installing Debian packages: ${missing[*]}"
    wq_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    wq_as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Pinned npm packages: tools/<lock>.lock holds the name, version and integrity hash.
wq_lock_value() { sed -n "s/^$2=//p" "$WQ_ROOT/tools/$1.lock"; }
wq_package_dir() { echo "$WQ_BUILD/deps/$(wq_lock_value "$1" name)-$(wq_lock_value "$1" version)"; }

# The idiom data (npm package chengyu) and the characters' readings (pinyin-pro) that the
# store builder checks its pinyin against.
wq_idiom_source() { echo "$(wq_package_dir chengyu)/data/3.txt"; }
wq_readings_file() { echo "$(wq_package_dir pinyin-pro)-readings.tsv"; }

# wq_fetch_package LOCK FILES...: fetches the package with `npm pack`, checks its integrity
# hash and unpacks the given files of it into build/deps/<name>-<version>/.
wq_fetch_package() {
    local lock=$1
    shift
    local name version integrity
    name=$(wq_lock_value "$lock" name)
    version=$(wq_lock_value "$lock" version)
    integrity=$(wq_lock_value "$lock" integrity)
    local deps="$WQ_BUILD/deps"
    local unpack file missing=0
    unpack=$(wq_package_dir "$lock")
    for file in "$@"; do
        [ -s "$unpack/$file" ] || missing=1
    done
    [ "$missing" -eq 0 ] && return 0

    mkdir -p "$deps"
    local tgz="$deps/$name-$version.tgz"
    if [ ! -s "$tgz" ]; then
        wq_log "Fetching $name@$version from the npm registry"
        (cd "$deps" && npm pack --silent "$name@$version" >/dev/null)
    fi
    local actual
    actual="sha512-$(node -e '
        const c = require("crypto"), fs = require("fs");
        process.stdout.write(c.createHash("sha512").update(fs.readFileSync(process.argv[1])).digest("base64"));
    ' "$tgz")"
    if [ "$actual" != "$integrity" ]; then
        rm -f "$tgz"
        echo "error: $name-$version.tgz does not match its pinned integrity hash" >&2
        echo "  expected $integrity" >&2
        echo "  got      $actual" >&2
        return 1
    fi
    rm -rf "$unpack.tmp" && mkdir -p "$unpack.tmp"
    tar -xzf "$tgz" -C "$unpack.tmp" --strip-components=1 "${@/#/package/}"
    rm -rf "$unpack" && mv "$unpack.tmp" "$unpack"
}

wq_fetch_data() {
    wq_fetch_package chengyu data/3.txt || return 1
    wq_fetch_package pinyin-pro package.json LICENSE dist/index.js || return 1
    local readings
    readings=$(wq_readings_file)
    if [ ! -s "$readings" ] || [ "$WQ_ROOT/tools/readings.js" -nt "$readings" ]; then
        wq_log "Extracting the characters' readings from pinyin-pro"
        node "$WQ_ROOT/tools/readings.js" "$(wq_package_dir pinyin-pro)" >"$readings.tmp" \
            && mv "$readings.tmp" "$readings"
    fi
}

# What test.sh turns on beyond the program that run.sh builds.
WQ_ALL_PARTS=(-DWENQUELL_BUILD_TESTS=ON -DWENQUELL_BUILD_BENCHMARKS=ON -DWENQUELL_BUILD_VIEWERS=ON)

# wq_needs_configure DIR ARGS...: true when DIR is not configured yet, or when one of the
# -DWENQUELL_...=VALUE arguments differs from what its cache holds.
wq_needs_configure() {
    local dir=$1 arg
    shift
    [ -f "$dir/build.ninja" ] || return 0
    # A build directory configured before the readings were part of the set-up learns of them.
    grep -q "^WENQUELL_READINGS:FILEPATH=." "$dir/CMakeCache.txt" 2>/dev/null || return 0
    for arg in "$@"; do
        [[ $arg =~ ^-D(WENQUELL_[A-Z_]+)(:[A-Z]+)?=(.*)$ ]] || continue
        grep -qx "${BASH_REMATCH[1]}:[A-Z]*=${BASH_REMATCH[3]}" "$dir/CMakeCache.txt" || return 0
    done
    return 1
}

# Configures when needed, then builds only what changed:
# wq_build [dir [target [configure args...]]]. The target "program" (the default) is the
# program and what it needs beside it; "all" is everything the configure turned on.
wq_build() {
    local dir=${1:-$WQ_BUILD}
    local target=${2:-program}
    shift 2 || shift $#
    if wq_needs_configure "$dir" "$@"; then
        wq_log "Configuring $dir"
        cmake -S "$WQ_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DWENQUELL_IDIOM_SOURCE="$(wq_idiom_source)" \
            -DWENQUELL_READINGS="$(wq_readings_file)" "$@"
    fi
    wq_log "Building $dir ($target)"
    cmake --build "$dir" --parallel "$(nproc)" --target "$target"
}
