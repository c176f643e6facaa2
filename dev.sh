#!/usr/bin/env bash
# Set-up, build and run in one step:  ./dev.sh start   builds and starts Quillet
#                                     ./dev.sh test    builds and runs every test
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

install_missing_packages() {
    local wanted missing=()
    wanted=$(grep -v -E '^\s*(#|$)' scripts/debian-packages.txt)
    for pkg in $wanted; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build --parallel "$(nproc)"
}

case "${1:-}" in
start)
    install_missing_packages
    build
    exec build/bin/quillet
    ;;
test)
    install_missing_packages
    build
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure --timeout 1500
    ;;
*)
    echo "usage: $0 start|test" >&2
    exit 64
    ;;
esac
