#!/usr/bin/env bash
# Installs what TROVIX needs from Debian, builds it and runs it, its tests or its benchmarks.
#
#   ./trovix.sh run          start the program (under a virtual X server when there is no display)
#   ./trovix.sh test [ARGS]  run the test suite; ARGS go to ctest (e.g. -R tray)
#   ./trovix.sh bench        run the benchmarks
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# Everything the build, the tests and the program need; the only list of packages in the project.
# libqt6multimedia6 (pulled in by qt6-multimedia-dev) plays wave files through PulseAudio by itself: no
# GStreamer or FFmpeg plugin package is needed for sounds. pulseaudio is the sound server of the
# end-to-end test, trayer its notification-area host, xdotool its hands, xclip its way to read
# the clipboard.
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6svg6 qt6-qpa-plugins
    libsqlcipher-dev
    xvfb xauth xdotool x11-utils xclip trayer pulseaudio
    fonts-comic-neue fonts-liberation2
    imagemagick
)

BUILD_DIR=build
PROGRAM=$BUILD_DIR/trovix/trovix

say() { printf 'trovix.sh: %s\n' "$*" >&2; }
die() {
    say "$*"
    exit 1
}

usage() {
    cat >&2 <<'EOF'
usage: ./trovix.sh run | test [ctest arguments] | bench
  run    install missing Debian packages, build, start the program
  test   install missing Debian packages, build, run the tests
  bench  install missing Debian packages, build, run the benchmarks
EOF
}

missing_packages() {
    local package status
    for package in "${PACKAGES[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
        [[ $status == *" ok installed"* ]] || printf '%s\n' "$package"
    done
}

# Runs a command as root: directly when we are root, else through sudo. Without a terminal sudo must not
# wait for a password nobody can type, so it is told to fail instead.
as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        if [[ -t 0 ]]; then sudo "$@"; else sudo -n "$@"; fi
    else
        die "need root rights to install packages, and sudo is not available"
    fi
}

# apt's progress goes to a log that is shown only when apt fails; its errors reach stderr either way.
apt_quiet() {
    local log status=0
    log=$(mktemp)
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -q -y -o Dpkg::Use-Pty=0 \
        -o DPkg::Lock::Timeout=300 "$@" </dev/null >"$log" || status=$?
    if [[ $status -ne 0 ]]; then
        tail -n 40 "$log" >&2
        rm -f "$log"
        die "apt-get $1 failed (exit status $status)"
    fi
    rm -f "$log"
}

install_packages() {
    local missing
    mapfile -t missing < <(missing_packages)
    [[ ${#missing[@]} -eq 0 ]] && return 0
    command -v apt-get >/dev/null 2>&1 || die "missing packages (${missing[*]}) and no apt-get to install them"
    say "installing missing packages: ${missing[*]}"
    apt_quiet update
    apt_quiet install --no-install-recommends "${missing[@]}"
    mapfile -t missing < <(missing_packages)
    [[ ${#missing[@]} -eq 0 ]] || die "still missing after installing: ${missing[*]}"
}

build() {
    local cache=$BUILD_DIR/CMakeCache.txt
    if [[ -f $cache ]] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
        die "$BUILD_DIR/ was configured with another generator; remove it and run again"
    fi
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR"
}

XVFB_PID=
stop_xvfb() {
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Starts Xvfb on the first free display number and exports DISPLAY for it.
start_xvfb() {
    local n=0 tries
    while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
    say "no display: DISPLAY and WAYLAND_DISPLAY are not set. Starting a virtual X server (Xvfb) on :$n;"
    say "the program runs there and cannot be seen. It ends when the program ends (or press Ctrl+C)."
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap stop_xvfb EXIT
    trap 'stop_xvfb; exit 130' INT
    trap 'stop_xvfb; exit 143' TERM
    for ((tries = 0; ; tries++)); do
        xdpyinfo -display ":$n" >/dev/null 2>&1 && break
        kill -0 "$XVFB_PID" 2>/dev/null || die "Xvfb could not start on :$n"
        [[ $tries -lt 100 ]] || die "Xvfb on :$n did not answer within 10 seconds"
        sleep 0.1
    done
    export DISPLAY=":$n"
}

run_program() {
    [[ -x $PROGRAM ]] || die "$PROGRAM was not built"
    if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
        start_xvfb
    fi
    local status=0
    "$PROGRAM" || status=$?
    stop_xvfb
    exit "$status"
}

run_tests() {
    local status=0
    ctest --test-dir "$BUILD_DIR" --output-on-failure "$@" || status=$?
    exit "$status"
}

run_benchmarks() {
    local bench failed=0 found=0 status
    # Benchmarks that build windows need no screen.
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    for bench in "$BUILD_DIR"/bench/bench_*; do
        [[ -f $bench && -x $bench ]] || continue
        found=$((found + 1))
        printf '=== %s\n' "${bench##*/}"
        status=0
        "$bench" || status=$?
        if [[ $status -ne 0 ]]; then
            say "${bench##*/} failed (exit status $status)"
            failed=$((failed + 1))
        fi
    done
    [[ $found -gt 0 ]] || die "no benchmarks found in $BUILD_DIR/bench/"
    [[ $failed -eq 0 ]] || die "$failed of $found benchmarks failed"
}

main() {
    local command=${1:-}
    case $command in
        run | test | bench) shift ;;
        -h | --help | help)
            usage
            exit 0
            ;;
        *)
            usage
            exit 2
            ;;
    esac
    if [[ $command != test && $# -gt 0 ]]; then
        usage
        exit 2
    fi

    install_packages
    build
    case $command in
        run) run_program ;;
        test) run_tests "$@" ;;
        bench) run_benchmarks ;;
    esac
}

main "$@"
