#!/usr/bin/env bash
# Sanitizers and fuzzing.
#
#   scripts/sanitize.sh          both steps below
#   scripts/sanitize.sh tests    only the test suite under the sanitizers
#   scripts/sanitize.sh fuzz     only the fuzzers
#
# tests: builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
#        into build-asan/ and runs every test there, headless, with leak
#        checking (fuzz/lsan.supp lists leaks inside Qt and fontconfig).
# fuzz:  builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and
#        runs each one on a copy of its seed corpus for TVC_FUZZ_SECONDS
#        seconds (default 60). A crash, sanitizer report, leak or hang fails
#        the run; the input that caused it is kept in build-fuzz/artifacts/.
#
# Installs what is missing with apt-get first, as scripts/setup.sh does. Both
# steps build with Qt 5, whatever TVC_QT says.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
asan_build=${TVC_ASAN_BUILD_DIR:-$root/build-asan}
fuzz_build=${TVC_FUZZ_BUILD_DIR:-$root/build-fuzz}
fuzz_seconds=${TVC_FUZZ_SECONDS:-60}
jobs=${TVC_JOBS:-$(nproc)}
fuzzers=(fuzz_frames fuzz_reception fuzz_manifest fuzz_package)

steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(tests fuzz)
for step in "${steps[@]}"; do
    case "$step" in
        tests|fuzz) ;;
        *) echo "usage: $0 [tests] [fuzz]" >&2; exit 2 ;;
    esac
done

# --- Packages ---------------------------------------------------------------
# clang and its runtime libraries (libFuzzer, the sanitizers) for the fuzzers;
# g++ brings the sanitizer runtimes of the test build.
# xvfb, dbus and at-spi2-core: the accessibility events test; tmux: a small terminal for tvc-update.
# lupdate and lrelease build the translations; Qt's own translations are checked with them.
"$root/scripts/install-packages.sh" cmake g++ make pkg-config qtbase5-dev libqt5serialport5-dev libzip-dev \
    qttools5-dev-tools qttools5-dev qttranslations5-l10n \
    zlib1g-dev zip tmux \
    clang libclang-rt-dev xvfb dbus-daemon dbus-bin at-spi2-core

# Every sanitizer report ends the process with an error; leaks are reported.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_init_order=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen

run_tests() {
    local flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
    echo "== Sanitizer build in $asan_build"
    # -O1 and line tables only: reports keep their stack traces, the build
    # takes less time. Without the benchmarks and their random fault
    # campaigns: scripts/test.sh runs those, and under the sanitizers their
    # many processes at once would take most of the time.
    cmake -S "$root" -B "$asan_build" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_COMPILER=g++ -DTVC_QT_MAJOR=5 \
        -DTVC_BENCH=OFF -DCMAKE_CXX_FLAGS="-O1 -g1 $flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
    cmake --build "$asan_build" -j "$jobs"
    echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    # Not the Debian package: scripts/test.sh builds and checks it from the
    # builds that are shipped.
    (cd "$asan_build" && ctest --output-on-failure -j "$jobs" -E '^packaging$')
}

run_fuzzers() {
    local flags="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
    echo "== Fuzzer build in $fuzz_build"
    cmake -S "$root" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTVC_QT_MAJOR=5 \
        -DBUILD_TESTING=OFF -DTVC_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
    cmake --build "$fuzz_build" -j "$jobs" --target "${fuzzers[@]}"

    local artifacts=$fuzz_build/artifacts
    mkdir -p "$artifacts"
    local failed=()
    for f in "${fuzzers[@]}"; do
        # A copy: what the fuzzer adds to its corpus stays in the build folder.
        local corpus=$fuzz_build/corpus/$f
        rm -rf "$corpus"
        mkdir -p "$corpus"
        cp "$root/fuzz/corpus/$f"/* "$corpus"/
        # The window's inputs grow Qt's caches, and libFuzzer would search the
        # whole heap for leaks after each such input: four times slower. Leaks
        # are still looked for when the run ends.
        local extra=()
        [ "$f" = fuzz_reception ] && extra=(-detect_leaks=0)
        echo "== $f for ${fuzz_seconds} s"
        if ! "$fuzz_build/fuzz/$f" -max_total_time="$fuzz_seconds" -timeout=30 -rss_limit_mb=2048 \
            -print_final_stats=1 "${extra[@]}" -artifact_prefix="$artifacts/$f-" "$corpus" \
            2>"$fuzz_build/$f.log"; then
            tail -n 60 "$fuzz_build/$f.log" >&2
            failed+=("$f")
        else
            grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$fuzz_build/$f.log" || true
        fi
    done
    if [ ${#failed[@]} -gt 0 ]; then
        echo "Fuzzers that failed: ${failed[*]}" >&2
        echo "Inputs that failed: $artifacts (replay: build-fuzz/fuzz/<target> <input>)" >&2
        return 1
    fi
}

for step in "${steps[@]}"; do
    case "$step" in
        tests) run_tests ;;
        fuzz) run_fuzzers ;;
    esac
done
