# Shared by scripts/run and scripts/test: install what is missing, configure, build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD_DIR="${GRAVITAS_BUILD_DIR:-$ROOT/build}"

# A fresh clone or a second build folder reuses earlier compilations through ccache
# (looked for again once the packages are installed: a fresh machine gets it there).
use_ccache_if_there() {
    command -v ccache >/dev/null 2>&1 || return 0
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$ROOT")}" CCACHE_NOHASHDIR=1
}
use_ccache_if_there

PACKAGES=(cmake g++ make pkg-config ccache qt6-base-dev qt6-multimedia-dev libgl1-mesa-dev libgtest-dev
          libbenchmark-dev libhwy-dev nlohmann-json3-dev xplanet xplanet-images openuniverse-common
          libavformat-dev libavcodec-dev libswscale-dev libavutil-dev kstars-data xvfb xauth fonts-dejavu-core
          openbox xdotool imagemagick locales desktop-file-utils libxml2-utils shared-mime-info
          clang-14 libclang-rt-14-dev python3-mpmath)

install_missing_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
        use_ccache_if_there
    fi
}

# The tests also run the application under a German locale (decimal comma).
generate_test_locales() {
    locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
}

configure_and_build() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
