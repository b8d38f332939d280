#!/usr/bin/env bash
# Installs what TROVIX needs from Debian, builds it and runs it, its tests or its benchmarks.
#
#   ./trovix.sh run          start the program (under a virtual X server when there is no display)
#   ./trovix.sh test [ARGS]  run every test stage: the suite, fuzzing, the sanitized unit tests;
#                            with ARGS only the suite, ARGS going to ctest (e.g. -R tray)
#   ./trovix.sh soak         the long form: the reliability suite with 1,000 kills, 10 minutes of fuzzing
#   ./trovix.sh bench        run the benchmarks
#   ./trovix.sh package      make the Debian package (build/trovix_*.deb)
#   ./trovix.sh mutants      put each fault of tests/mutation/faults.tsv into a copy of the tree, build it,
#                            run the suite and say which faults it catches ("check": only see that each applies;
#                            numbers: only those faults)
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# Everything the build, the tests and the program need; the only list of packages in the project.
# libqt6multimedia6 (pulled in by qt6-multimedia-dev) plays wave files through PulseAudio by itself: no
# GStreamer or FFmpeg plugin package is needed for sounds. pulseaudio is the sound server of the
# end-to-end test, trayer its notification-area host, openbox its window manager, xdotool its hands, xclip its way
# to read the clipboard; dunst is its notification server, on a session bus of dbus-run-session's, watched with
# dbus-monitor. weston is the Wayland compositor of the Wayland run, qt6-wayland the program's platform
# there, and at-spi2-core with python3-pyatspi its hands, through the program's accessibility interface.
# The search service's end-to-end test asks it with gdbus (libglib2.0-bin) on a bus of dbus-run-session's and
# fills its database with sqlcipher, the engine's own shell.
# clang with its run-time libraries builds the fuzzing harnesses (libFuzzer). The Debian
# package is made by CPack with dpkg-dev and file (its dependencies), and checked by lintian, appstream and
# desktop-file-utils.
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6svg6 qt6-qpa-plugins
    libsqlcipher-dev
    xvfb xauth xdotool x11-utils xclip trayer openbox pulseaudio
    dbus-daemon dbus-bin dunst weston qt6-wayland at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    libglib2.0-bin sqlcipher
    fonts-comic-neue fonts-liberation2
    imagemagick
    clang libclang-rt-14-dev
    dpkg-dev file lintian appstream desktop-file-utils
)

BUILD_DIR=build
FUZZ_DIR=build-fuzz
PROGRAM=$BUILD_DIR/trovix/trovix

say() { printf 'trovix.sh: %s\n' "$*" >&2; }
die() {
    say "$*"
    exit 1
}

usage() {
    cat >&2 <<'EOF'
usage: ./trovix.sh run | test [ctest arguments] | soak | bench | package | mutants [check | N...]
  run      install missing Debian packages, build, start the program
  test     install missing Debian packages, build, run every test stage (with arguments: ctest only)
  soak     install missing Debian packages, build, run the long reliability and fuzzing stages
  bench    install missing Debian packages, build, run the benchmarks
  package  install missing Debian packages, build, make the Debian package
  mutants  install missing Debian packages, then for each listed fault: a copy of the tree with the fault,
           built and tested; "mutants check" only sees that every fault applies, "mutants 3 7" tries faults 3 and 7
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
    cmake --preset default
    cmake --build --preset default
}

XVFB_PID=
stop_xvfb() {
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Starts Xvfb on a display it picks itself (-displayfd) and exports DISPLAY for it.
start_xvfb() {
    local tries display_file
    display_file=$(mktemp)
    say "no display: DISPLAY and WAYLAND_DISPLAY are not set. Starting a virtual X server (Xvfb);"
    say "the program runs there and cannot be seen. It ends when the program ends (or press Ctrl+C)."
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    trap stop_xvfb EXIT
    trap 'stop_xvfb; exit 130' INT
    trap 'stop_xvfb; exit 143' TERM
    for ((tries = 0; ; tries++)); do
        [[ -s $display_file ]] && break
        kill -0 "$XVFB_PID" 2>/dev/null || die "Xvfb could not start"
        [[ $tries -lt 100 ]] || die "Xvfb did not answer within 10 seconds"
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
    say "virtual X server on $DISPLAY"
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

# The stages of the full run. A failed stage does not stop the ones after it: the summary names all.
FAILED_STAGES=()
stage() {
    local name=$1 started status=0
    shift
    say "stage: $name"
    started=$SECONDS
    "$@" || status=$?
    if [[ $status -eq 0 ]]; then
        say "stage passed: $name ($((SECONDS - started)) s)"
    else
        say "stage FAILED: $name (exit status $status, $((SECONDS - started)) s)"
        FAILED_STAGES+=("$name")
    fi
}

stage_summary() {
    if [[ ${#FAILED_STAGES[@]} -gt 0 ]]; then
        say "failed stages: ${FAILED_STAGES[*]}"
        exit 1
    fi
    say "every stage passed"
}

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a build of their
# own (the "sanitize" presets). Any report fails the test that made it; the only leaks let pass are the
# system libraries' ones listed, each with its reason, in tests/sanitize/lsan.supp.
sanitized_unit_tests() {
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize
    ctest --preset sanitize
}

run_tests() {
    if [[ $# -gt 0 ]]; then
        ctest --preset default "$@"
        return
    fi
    stage "the test suite" ctest --preset default
    stage "fuzzing, ${FUZZ_SECONDS:-60} s a harness" tests/fuzz/run.sh "${FUZZ_SECONDS:-60}" "$FUZZ_DIR"
    stage "unit tests under the sanitizers" sanitized_unit_tests
    stage "the Debian package, installed and used" packaging/test-package.sh "$BUILD_DIR"
    stage_summary
}

# The Debian package, made by CPack in the build folder.
run_package() {
    (cd "$BUILD_DIR" && cpack -G DEB)
    say "the package: $(ls "$BUILD_DIR"/trovix_*.deb)"
}

# The long form: the reliability suite with a thousand kills, and ten minutes a fuzzing harness.
run_soak() {
    stage "the reliability suite, long form" env TROVIX_KILLS=${TROVIX_KILLS:-1000} \
        ctest --preset default -L reliability
    stage "fuzzing, ${FUZZ_SECONDS:-600} s a harness" tests/fuzz/run.sh "${FUZZ_SECONDS:-600}" "$FUZZ_DIR"
    stage_summary
}

# The machine a report was measured on, in one line.
machine_line() {
    local cpu cores memory
    cpu=$(awk -F': *' '/^model name/ { print $2; exit }' /proc/cpuinfo)
    cores=$(nproc)
    memory=$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
    printf '%s, %s cores, %s RAM, %s, Qt %s, SQLCipher %s' "${cpu:-unknown processor}" "$cores" "$memory" \
        "$(. /etc/os-release && echo "$PRETTY_NAME")" "$(qtpaths6 --qt-version 2>/dev/null || echo '?')" \
        "$(dpkg-query -W -f='${Version}' libsqlcipher-dev 2>/dev/null || echo '?')"
}

# Runs every benchmark and gathers their report rows ("@row|...") into one table, printed at the end
# and written to $BUILD_DIR/performance.md.
run_benchmarks() {
    local bench failed=0 found=0 status rows report=$BUILD_DIR/performance.md
    # Benchmarks that build windows need no screen.
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    rows=$(mktemp)
    for bench in "$BUILD_DIR"/bench/bench_*; do
        [[ -f $bench && -x $bench ]] || continue
        found=$((found + 1))
        printf '=== %s\n' "${bench##*/}"
        status=0
        "$bench" | tee -a "$rows" | grep -v '^@row' || status=${PIPESTATUS[0]}
        if [[ $status -ne 0 ]]; then
            say "${bench##*/} failed (exit status $status)"
            failed=$((failed + 1))
        fi
    done
    [[ $found -gt 0 ]] || die "no benchmarks found in $BUILD_DIR/bench/"
    {
        printf 'Measured %s on %s.\n\n' "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(machine_line)"
        printf '| figure | value | floor (ratio) | target | verdict |\n|---|---|---|---|---|\n'
        grep '^@row|' "$rows" | sed 's/^@row|//; s/|/ | /g; s/^/| /; s/$/ |/'
    } >"$report"
    rm -f "$rows"
    printf '\n'
    cat "$report"
    say "the table is in $report"
    [[ $failed -eq 0 ]] || die "$failed of $found benchmarks failed"
}

# One fault of the list put into the file, or "" when its text is not found exactly once.
mutated_text() {
    local file=$1 original=$2 replacement=$3 content rest
    content=$(<"$file")
    rest=${content//"$original"/}
    [[ $(((${#content} - ${#rest}) / ${#original})) -eq 1 ]] || return 1
    printf '%s\n' "${content/"$original"/"$replacement"}"
}

# The suite in three parts, the quick unit tests first, each stopping at its first failure; it passes when
# all do.
suite_passes() {
    ctest --test-dir "$1" -j 2 --stop-on-failure --output-on-failure -L unit -LE reliability \
        && ctest --test-dir "$1" -j 2 --stop-on-failure --output-on-failure -L reliability \
        && ctest --test-dir "$1" -j 2 --stop-on-failure --output-on-failure -L e2e
}

# The mutation check. Each row of tests/mutation/faults.tsv names a file, a text found once in it, what
# replaces it and the fault that makes. Every fault goes into one copy of the tree in turn, which is built
# and tested (the suite stops at its first failure); a fault the suite catches is killed, one it lets
# through survives. The faults are realistic one-line slips, so a survivor is a place no test looks at.
run_mutants() {
    local list=tests/mutation/faults.tsv copy=${MUTANTS_DIR:-/tmp/trovix-mutants} only_check=${1:-}
    local file original replacement what target mutated verdict killed=0 survived=0 broken=0 number=0 tried=0
    local chosen=" $* "
    [[ $only_check == check || $# -eq 0 ]] && chosen=""
    if [[ $only_check != check ]]; then
        rm -rf "$copy"
        mkdir -p "$copy/tree"
        git ls-files -z | xargs -0 tar -cf - | tar -C "$copy/tree" -xf -
        # Only what the suite runs, optimised but without debugging information: each fault relinks every
        # test program, and that is most of a fault's time. The preset builds beside the tree, in $copy/build.
        (cd "$copy/tree" && cmake --preset mutants >/dev/null)
        cmake --build "$copy/build" >"$copy/build.log" 2>&1 || die "the copy does not build without faults"
    fi
    while IFS=$'\t' read -r file original replacement what; do
        [[ -z $file || $file == \#* ]] && continue
        number=$((number + 1))
        [[ -n $chosen && $chosen != *" $number "* ]] && continue
        tried=$((tried + 1))
        original=${original//\\n/$'\n'}
        replacement=${replacement//\\n/$'\n'}
        target=${copy}/tree/$file
        [[ $only_check == check ]] && target=$file
        if ! mutated=$(mutated_text "$target" "$original" "$replacement"); then
            printf 'fault %2d  NOT APPLIED   %s (%s)\n' "$number" "$what" "$file"
            broken=$((broken + 1))
            continue
        fi
        [[ $only_check == check ]] && continue
        cp "$target" "$target.orig"
        printf '%s\n' "$mutated" >"$target"
        if ! cmake --build "$copy/build" >"$copy/fault$number.log" 2>&1; then
            verdict="killed (no build)"
            killed=$((killed + 1))
        elif suite_passes "$copy/build" >>"$copy/fault$number.log" 2>&1; then
            verdict=SURVIVED
            survived=$((survived + 1))
        else
            verdict=killed
            killed=$((killed + 1))
        fi
        # Restored, the file must be newer than what was built from the fault, or the next build keeps it.
        mv "$target.orig" "$target"
        touch "$target"
        printf 'fault %2d  %-17s %s (%s)\n' "$number" "$verdict" "$what" "$file"
    done <"$list"
    if [[ $only_check == check ]]; then
        say "$((number - broken)) of $number faults apply"
    else
        say "$killed of $tried faults killed, $survived survived, $broken not applied; logs in $copy"
    fi
    [[ $broken -eq 0 ]]
}

main() {
    local command=${1:-}
    case $command in
        run | test | soak | bench | package | mutants) shift ;;
        -h | --help | help)
            usage
            exit 0
            ;;
        *)
            usage
            exit 2
            ;;
    esac
    if [[ $command != test && $command != mutants && $# -gt 0 ]]; then
        usage
        exit 2
    fi

    install_packages
    if [[ $command == mutants ]]; then
        run_mutants "$@"
        return
    fi
    build
    case $command in
        run) run_program ;;
        test) run_tests "$@" ;;
        soak) run_soak ;;
        package) run_package ;;
        bench) run_benchmarks ;;
    esac
}

main "$@"
